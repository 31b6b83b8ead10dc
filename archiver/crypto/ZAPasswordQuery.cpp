#include "ZAPasswordQuery.h"

#include "Dialogs.h"
#include "Format.h"
#include "TextCodec.h"
#include "ZAStrFunc.h"
#include "ZipArchiver.h"

bool PasswordQuery(const String& Caption, const String& Prompt, String& Value) {
  return Dialogs().PasswordQuery(Caption, Prompt, Value);
}

void TZABaseArchiver::DoPassword(const String& FileName, AnsiString& NewPassword, bool& SkipFile) {
  const String name = ToPlatformDelimiters(FileName);
  if (OnPassword) {
    OnPassword(this, name, NewPassword, SkipFile);
    return;
  }
  String value;
  const bool accepted = PasswordQuery(Format(u"Password for \"%s\"", {name}), u"Enter password: ", value);
  SkipFile = !accepted;
  // Passwords are bytes in the ANSI code page; what it cannot hold becomes
  // its replacement character.
  if (accepted) NewPassword = StringToAnsi(value);
}

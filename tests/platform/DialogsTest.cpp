#include <gtest/gtest.h>

#include "Dialogs.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

TEST(ScriptedDialogs, AnswerInOrderAndRecordEveryPrompt) {
  TScriptedDialogProvider dialogs;
  dialogs.Answers = {mrYes, mrNoToAll};
  dialogs.Passwords = {String(u"secret"), std::nullopt};

  dialogs.ShowMessage(u"Done", u"Archive", TMsgDlgType::mtInformation);
  EXPECT_EQ(dialogs.MessageDlg(u"Overwrite a?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
  EXPECT_EQ(dialogs.MessageDlg(u"Overwrite b?", TMsgDlgType::mtConfirmation, mbYes | mbNoToAll),
            mrNoToAll);
  EXPECT_EQ(dialogs.MessageDlg(u"Overwrite c?", TMsgDlgType::mtWarning, mbOK | mbCancel), mrCancel);

  String password = u"unchanged";
  EXPECT_TRUE(dialogs.PasswordQuery(u"Password", u"Enter password for a", password));
  EXPECT_EQ(password, u"secret");
  password = u"unchanged";
  EXPECT_FALSE(dialogs.PasswordQuery(u"Password", u"Enter password for b", password));
  EXPECT_FALSE(dialogs.PasswordQuery(u"Password", u"Enter password for c", password));
  EXPECT_EQ(password, u"unchanged");

  using K = TScriptedDialogProvider::TShown;
  const struct {
    K::Kind Kind;
    const char16_t* Text;
    TMsgDlgButtons Buttons;
  } expected[] = {
      {K::Message, u"Done", mbOK},
      {K::Confirmation, u"Overwrite a?", mbYes | mbNo},
      {K::Confirmation, u"Overwrite b?", mbYes | mbNoToAll},
      {K::Confirmation, u"Overwrite c?", mbOK | mbCancel},
      {K::Password, u"Enter password for a", mbOK | mbCancel},
      {K::Password, u"Enter password for b", mbOK | mbCancel},
      {K::Password, u"Enter password for c", mbOK | mbCancel},
  };
  ASSERT_EQ(dialogs.Shown.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(dialogs.Shown[i].kind, expected[i].Kind);
    EXPECT_EQ(dialogs.Shown[i].Text, expected[i].Text);
    EXPECT_EQ(dialogs.Shown[i].Buttons, expected[i].Buttons);
  }
  EXPECT_EQ(dialogs.Shown[0].Caption, u"Archive");
  EXPECT_EQ(dialogs.Shown[4].Caption, u"Password");
  EXPECT_EQ(dialogs.Shown[2].Type, TMsgDlgType::mtConfirmation);
}

TEST(Dialogs, InstalledProviderAnswersUntilReplaced) {
  auto owned = std::make_unique<TScriptedDialogProvider>();
  TScriptedDialogProvider* scripted = owned.get();
  scripted->Answers = {mrRetry};
  std::unique_ptr<TDialogProvider> previous = SetDialogProvider(std::move(owned));

  EXPECT_EQ(&Dialogs(), scripted);
  EXPECT_EQ(Dialogs().MessageDlg(u"Retry?", TMsgDlgType::mtError, mbRetry | mbCancel), mrRetry);
  ASSERT_EQ(scripted->Shown.size(), 1u);

  const std::unique_ptr<TDialogProvider> back = SetDialogProvider(std::move(previous));
  EXPECT_EQ(back.get(), scripted);
}

#ifndef _WIN32
// Points stdin elsewhere for one test.
class StdinScope {
 public:
  explicit StdinScope(const char* Path) : FSaved(dup(STDIN_FILENO)) {
    const int fd = open(Path, O_RDONLY);
    dup2(fd, STDIN_FILENO);
    close(fd);
  }
  ~StdinScope() {
    dup2(FSaved, STDIN_FILENO);
    close(FSaved);
  }

 private:
  int FSaved;
};

TEST(ConsoleDialogs, WithoutATerminalTakeTheSafeAnswer) {
  StdinScope noTerminal("/dev/null");
  const std::unique_ptr<TDialogProvider> console = CreatePlatformDialogProvider();
  const struct {
    TMsgDlgButtons Buttons;
    int Result;
  } cases[] = {
      {mbYes | mbNo | mbCancel, mrCancel},
      {mbOK | mbCancel, mrCancel},
      {mbYes | mbNo | mbYesToAll | mbNoToAll, mrNo},
      {mbAbort | mbRetry | mbIgnore, mrAbort},
      {mbOK, mrOk},
  };
  for (const auto& c : cases)
    EXPECT_EQ(console->MessageDlg(u"Overwrite?", TMsgDlgType::mtConfirmation, c.Buttons), c.Result);

  String password = u"unchanged";
  EXPECT_FALSE(console->PasswordQuery(u"Password", u"Enter password", password));
  EXPECT_EQ(password, u"unchanged");
}
#endif

}  // namespace

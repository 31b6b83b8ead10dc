#include "Console.h"

#include "Terminal.h"

void TSystemConsole::Out(std::string_view Text) { terminal::Write(terminal::stdOut, Text); }
void TSystemConsole::Err(std::string_view Text) { terminal::Write(terminal::stdErr, Text); }
bool TSystemConsole::InputIsTerminal() { return terminal::IsTerminal(terminal::stdIn); }
bool TSystemConsole::ErrorIsTerminal() { return terminal::IsTerminal(terminal::stdErr); }
bool TSystemConsole::ReadLine(std::string& Line) { return terminal::ReadLine(Line); }
bool TSystemConsole::ReadSecret(std::string& Line) { return terminal::ReadSecret(Line); }
int TSystemConsole::Width() { return terminal::Width(); }

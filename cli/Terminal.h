#pragma once
// The process's standard streams, as the command needs them: whether one is
// a terminal, UTF-8 text out, lines in (with and without echo), and the
// terminal's width. One implementation per OS.
#include <string>
#include <string_view>

namespace terminal {

enum TStdStream { stdIn, stdOut, stdErr };

bool IsTerminal(TStdStream Stream);
// Text is UTF-8; a Windows console gets it as UTF-16, anything else as bytes.
void Write(TStdStream Stream, std::string_view Text);
// One line from stdin without its line end, as UTF-8; false at the end of input.
bool ReadLine(std::string& Line);
// The same with echo off when stdin is a terminal.
bool ReadSecret(std::string& Line);
// Columns of the terminal behind stderr; 80 when unknown.
int Width();

}  // namespace terminal

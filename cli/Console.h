#pragma once
// What the command sees of its surroundings: two output streams, the
// answers to its prompts, and whether there is a terminal to ask. The real
// one uses the process's standard streams; tests script one.
#include <chrono>
#include <string>
#include <string_view>

class TConsole {
 public:
  virtual ~TConsole() = default;
  virtual void Out(std::string_view Text) = 0;  // UTF-8
  virtual void Err(std::string_view Text) = 0;
  virtual bool InputIsTerminal() = 0;
  virtual bool ErrorIsTerminal() = 0;
  virtual bool ReadLine(std::string& Line) = 0;
  virtual bool ReadSecret(std::string& Line) = 0;  // without echo
  virtual int Width() = 0;
  virtual std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
};

class TSystemConsole : public TConsole {
 public:
  void Out(std::string_view Text) override;
  void Err(std::string_view Text) override;
  bool InputIsTerminal() override;
  bool ErrorIsTerminal() override;
  bool ReadLine(std::string& Line) override;
  bool ReadSecret(std::string& Line) override;
  int Width() override;
};

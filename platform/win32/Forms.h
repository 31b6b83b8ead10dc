#pragma once
// A small forms layer for the launcher: the application object, forms with a
// creation handler, push buttons with a hint and a click handler, and an image
// control showing a JPEG picture. Windows only; windows.h stays out of this
// header so that it can be included in any order.
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

#include "Component.h"
#include "JPEGImage.h"
#include "Types.h"

struct HWND__;
struct HDC__;
struct HFONT__;

class TWinControl;

using TControlEvent = std::function<void(TComponent* Sender)>;

// Colours: 0x00BBGGRR, or a system colour index with the top byte 0xFF.
using TColor = uint32_t;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clWindowText = 0xFF000008;

enum class TPosition { poDesigned, poScreenCenter };
enum class THelpType { htKeyword, htContext };

struct TFont {
  String Name = u"Tahoma";
  uint8_t Charset = 1;  // DEFAULT_CHARSET
  int Height = -11;     // negative: character height in pixels
  TColor Color = clWindowText;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner) : TComponent(AOwner) {}
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  void SetParent(TWinControl* Value);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // Hints are never shown as tool tips here; a hint is data for handlers.
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }

 protected:
  virtual void BoundsChanged() {}

 private:
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  String FHint;
};

// A control without a window of its own: its parent paints it.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  virtual void Paint(HDC__* DC) = 0;
};

// Draws its picture unscaled from its top-left corner, clipped to its bounds.
class TImage : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  const char* ClassName() const override { return "TImage"; }
  TJPEGImage& Picture() { return FPicture; }
  void Paint(HDC__* DC) override;

 private:
  TJPEGImage FPicture;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;

  bool HandleAllocated() const { return FHandle != nullptr; }
  HWND__* Handle();
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int Value) { FTabOrder = Value; }
  // Children in the order they were given this parent.
  const std::vector<TControl*>& Controls() const { return FControls; }
  // The font children take; none by default.
  virtual HFONT__* FontHandle() const { return nullptr; }

 protected:
  virtual void CreateHandle() = 0;
  void BoundsChanged() override;

  HWND__* FHandle = nullptr;

 private:
  friend class TControl;
  std::vector<TControl*> FControls;
  int FTabOrder = -1;
};

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  const char* ClassName() const override { return "TButton"; }

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  THelpType HelpType() const { return FHelpType; }
  void SetHelpType(THelpType Value) { FHelpType = Value; }
  // Raises OnClick, as a press of the button does.
  void Click();

  TControlEvent OnClick;

 protected:
  void CreateHandle() override;

 private:
  String FCaption;
  THelpType FHelpType = THelpType::htContext;
};

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  const char* ClassName() const override { return "TForm"; }

  // Runs OnCreate once construction is complete; an exception from it goes to
  // the application's default report and the form lives on.
  void AfterConstruction();

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }
  void SetClientSize(int AWidth, int AHeight);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // Read at handle creation; the controls take the form's font.
  TFont& Font() { return FFont; }
  HFONT__* FontHandle() const override { return FFontHandle; }

  void Show();
  void Close();

  TControlEvent OnCreate;

 protected:
  void CreateHandle() override;

 private:
  friend struct TFormWindow;
  intptr_t Dispatch(unsigned Message, uintptr_t WParam, intptr_t LParam);
  void PaintControls(HDC__* DC);
  void FocusFirstControl();

  String FCaption;
  int FClientWidth = 0, FClientHeight = 0;
  TPosition FPosition = TPosition::poDesigned;
  TColor FColor = clBtnFace;
  TFont FFont;
  HFONT__* FFontHandle = nullptr;
};

class TApplication : public TComponent {
 public:
  TApplication() : TComponent(nullptr) {}
  const char* ClassName() const override { return "TApplication"; }

  void Initialize();
  bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
  void SetMainFormOnTaskBar(bool Value) { FMainFormOnTaskBar = Value; }
  // The program's file name without its extension unless set.
  String Title() const;
  void SetTitle(const String& Value) { FTitle = Value; }
  TForm* MainForm() const { return FMainForm; }

  // Creates a form owned by the application; the first one becomes the main
  // form. Reference is set before the creation handler runs.
  template <class TFormClass>
  void CreateForm(TFormClass*& Reference) {
    Reference = new TFormClass(this);  // owned: the application destroys it
    if (!FMainForm) FMainForm = Reference;
    Reference->AfterConstruction();
  }

  // Shows the main form and runs the message loop until it is closed.
  void Run();
  // The default exception report: the message in a box with the title as its
  // caption and an error icon.
  void HandleException(const std::exception& E);

 private:
  bool FMainFormOnTaskBar = false;
  String FTitle;
  TForm* FMainForm = nullptr;
};

extern TApplication* Application;

// The report's text: a full stop is added unless the message is empty or
// ends in a full stop or a character below it.
String ExceptionReportText(const String& Message);

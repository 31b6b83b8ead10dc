// The launcher's forms layer with real windows: JPEG decoding through
// libjpeg, the image control's drawing, the creation handler and its
// exception report, and button clicks.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "Dialogs.h"
#include "Stream.h"
#include "win32/Forms.h"
#include "win32/JPEGImage.h"
#include "win32/ResourceStream.h"

#include <windows.h>

namespace {

// A test picture: four quadrants of pure colours, so that a swapped channel
// or a flipped row order shows.
constexpr int PictureWidth = 16, PictureHeight = 8;
uint32_t Expected(int X, int Y) {
  if (Y < PictureHeight / 2) return X < PictureWidth / 2 ? 0xFF0000 : 0x00FF00;
  return X < PictureWidth / 2 ? 0x0000FF : 0xFFFFFF;
}

// Encoded with libjpeg's own compressor at full quality, no subsampling.
std::vector<uint8_t> EncodedPicture() {
  jpeg_compress_struct Info;
  jpeg_error_mgr Errors;
  Info.err = jpeg_std_error(&Errors);
  jpeg_create_compress(&Info);
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Buffer, &Size);
  Info.image_width = PictureWidth;
  Info.image_height = PictureHeight;
  Info.input_components = 3;
  Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, 100, TRUE);
  for (int i = 0; i < Info.num_components; ++i) Info.comp_info[i].h_samp_factor = Info.comp_info[i].v_samp_factor = 1;
  jpeg_start_compress(&Info, TRUE);
  std::vector<uint8_t> Row(PictureWidth * 3);
  while (Info.next_scanline < Info.image_height) {
    for (int x = 0; x < PictureWidth; ++x) {
      const uint32_t c = Expected(x, static_cast<int>(Info.next_scanline));
      Row[x * 3] = static_cast<uint8_t>(c >> 16);
      Row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
      Row[x * 3 + 2] = static_cast<uint8_t>(c);
    }
    JSAMPROW Pointer = Row.data();
    jpeg_write_scanlines(&Info, &Pointer, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  std::vector<uint8_t> Result(Buffer, Buffer + Size);
  std::free(Buffer);
  return Result;
}

bool Near(uint32_t A, uint32_t B) {
  for (int Shift = 0; Shift < 24; Shift += 8)
    if (std::abs(static_cast<int>((A >> Shift) & 0xFF) - static_cast<int>((B >> Shift) & 0xFF)) > 12) return false;
  return true;
}

TEST(JPEGImage, DecodesPixelsInPlaceAndChannelOrder) {
  const std::vector<uint8_t> Data = EncodedPicture();
  TMemoryStream Stream;
  Stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
  Stream.SetPosition(0);
  TJPEGImage Picture;
  Picture.LoadFromStream(Stream);
  ASSERT_EQ(Picture.Width(), PictureWidth);
  ASSERT_EQ(Picture.Height(), PictureHeight);
  // Away from the quadrant edges, where the transform blurs.
  for (int y : {0, 1, 6, 7})
    for (int x : {0, 2, 13, 15})
      EXPECT_TRUE(Near(Picture.Pixels()[y * PictureWidth + x], Expected(x, y)))
          << x << "," << y << ": " << std::hex << Picture.Pixels()[y * PictureWidth + x];
}

// libjpeg's default on a fatal error is to end the process; ours raises and
// keeps the picture it had.
TEST(JPEGImage, DamagedDataRaisesAndKeepsThePicture) {
  const std::vector<uint8_t> Good = EncodedPicture();
  std::vector<uint8_t> Truncated(Good.begin(), Good.begin() + 20);
  std::vector<uint8_t> NotJpeg(200, 0x5A);
  std::vector<uint8_t> HugeHeader = Good;  // SOF0 claims 65000 x 65000
  for (size_t i = 0; i + 8 < HugeHeader.size(); ++i)
    if (HugeHeader[i] == 0xFF && HugeHeader[i + 1] == 0xC0) {
      HugeHeader[i + 5] = HugeHeader[i + 7] = 0xFD;
      HugeHeader[i + 6] = HugeHeader[i + 8] = 0xE8;
      break;
    }
  const struct {
    const char* Name;
    std::vector<uint8_t> Data;
  } Cases[] = {{"empty", {}}, {"truncated", Truncated}, {"not a JPEG", NotJpeg}, {"huge", HugeHeader}};

  TJPEGImage Picture;
  Picture.LoadFromBytes(Good.data(), Good.size());
  for (const auto& Case : Cases) {
    EXPECT_THROW(Picture.LoadFromBytes(Case.Data.data(), Case.Data.size()), EJPEG) << Case.Name;
    EXPECT_EQ(Picture.Width(), PictureWidth) << Case.Name;
  }
}

TEST(Forms, ImageDrawsUnscaledFromItsCornerClippedToItsBounds) {
  const std::vector<uint8_t> Data = EncodedPicture();
  TImage Image(nullptr);
  Image.Picture().LoadFromBytes(Data.data(), Data.size());
  Image.SetBounds(3, 2, 12, 5);  // smaller than the picture: clips right and bottom

  const HDC Screen = GetDC(nullptr);
  const HDC DC = CreateCompatibleDC(Screen);
  const HBITMAP Bitmap = CreateCompatibleBitmap(Screen, 24, 12);
  ReleaseDC(nullptr, Screen);
  const HGDIOBJ Old = SelectObject(DC, Bitmap);
  const HBRUSH Black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT All{0, 0, 24, 12};
  FillRect(DC, &All, Black);
  Image.Paint(DC);
  auto At = [&](int X, int Y) {
    const COLORREF c = GetPixel(DC, X, Y);
    return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
  };
  EXPECT_TRUE(Near(At(3, 2), Expected(0, 0)));     // picture's corner at the control's
  EXPECT_TRUE(Near(At(14, 2), Expected(11, 0)));   // last column inside
  EXPECT_TRUE(Near(At(3, 6), Expected(0, 4)));     // last row inside
  EXPECT_EQ(At(15, 2), 0u);                         // clipped on the right
  EXPECT_EQ(At(3, 7), 0u);                          // clipped below
  EXPECT_EQ(At(2, 2), 0u);
  SelectObject(DC, Old);
  DeleteObject(Bitmap);
  DeleteDC(DC);
}

TEST(Forms, ExceptionReportAddsAFullStopUnlessEndingAtOrBelowOne) {
  const struct {
    String Message, Shown;
  } Cases[] = {
      {u"Disk full", u"Disk full."}, {u"Done.", u"Done."}, {u"Why?", u"Why?."},
      {u"Stop!", u"Stop!"},          {u"(a)", u"(a)"},     {u"", u""},
      {u"初始化错误", u"初始化错误."},
  };
  for (const auto& Case : Cases) EXPECT_EQ(ExceptionReportText(Case.Message), Case.Shown);
}

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(u"Forms test");
    SetClientSize(200, 90);
    First = new TButton(this);
    Second = new TButton(this);
    for (TButton* Button : {First, Second}) {
      Button->SetParent(this);
      Button->OnClick = [this](TComponent* Sender) { Clicked.push_back(Sender); };
    }
    // Added first, tabbed second.
    First->SetBounds(10, 40, 75, 25);
    First->SetTabOrder(1);
    Second->SetBounds(10, 10, 75, 25);
    Second->SetTabOrder(0);
  }
  TButton* First;
  TButton* Second;
  std::vector<TComponent*> Clicked;
};

class FormsWithDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    auto Scripted = std::make_unique<TScriptedDialogProvider>();
    Shown = Scripted.get();
    Previous = SetDialogProvider(std::move(Scripted));
  }
  void TearDown() override { SetDialogProvider(std::move(Previous)); }
  TScriptedDialogProvider* Shown = nullptr;
  std::unique_ptr<TDialogProvider> Previous;
};

TEST_F(FormsWithDialogs, CreationHandlerFailureIsReportedAndTheFormLives) {
  TTestForm Form(nullptr);
  Form.OnCreate = [](TComponent*) { throw EInOutError(u"The system cannot find the path specified", 3); };
  Form.AfterConstruction();
  ASSERT_EQ(Shown->Shown.size(), 1u);
  EXPECT_EQ(Shown->Shown[0].Text, u"The system cannot find the path specified.");
  EXPECT_EQ(Shown->Shown[0].Caption, Application->Title());
  EXPECT_EQ(Shown->Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(IsWindow(Form.Handle()));
}

TEST_F(FormsWithDialogs, ClientSizeTabOrderAndClicksReachTheHandler) {
  TTestForm Form(nullptr);
  RECT Client;
  GetClientRect(Form.Handle(), &Client);
  EXPECT_EQ(Client.right, 200);
  EXPECT_EQ(Client.bottom, 90);
  // Window order is what Tab follows.
  EXPECT_EQ(GetWindow(Form.Handle(), GW_CHILD), Form.Second->Handle());
  EXPECT_EQ(GetWindow(Form.Second->Handle(), GW_HWNDNEXT), Form.First->Handle());

  SendMessageW(Form.First->Handle(), BM_CLICK, 0, 0);
  SendMessageW(Form.Second->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Form.Clicked, (std::vector<TComponent*>{Form.First, Form.Second}));

  // A handler's exception is reported, not carried through the system's callback.
  Form.First->OnClick = [](TComponent*) { throw EStreamError(u"Stream read error"); };
  SendMessageW(Form.First->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(Shown->Shown.size(), 1u);
  EXPECT_EQ(Shown->Shown[0].Text, u"Stream read error.");
}

// The launcher's font: "宋体" is rarely installed under Wine, so what matters
// is that the face the system realizes for a GB2312 request has the glyphs.
TEST_F(FormsWithDialogs, ControlsTakeTheFormsFontWithItsCJKGlyphs) {
  TTestForm Form(nullptr);
  Form.Font().Name = u"宋体";
  Form.Font().Charset = GB2312_CHARSET;
  Form.Font().Height = -12;
  const std::wstring Caption = L"IE设置工具IE修复工具";
  Form.First->SetCaption(u"IE设置工具");

  const HWND Button = Form.First->Handle();
  const HFONT Font = reinterpret_cast<HFONT>(SendMessageW(Button, WM_GETFONT, 0, 0));
  ASSERT_NE(Font, nullptr);
  const HDC DC = GetDC(Button);
  const HGDIOBJ Old = SelectObject(DC, Font);
  TEXTMETRICW Metrics;
  GetTextMetricsW(DC, &Metrics);
  std::vector<WORD> Glyphs(Caption.size());
  GetGlyphIndicesW(DC, Caption.c_str(), static_cast<int>(Caption.size()), Glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  const int Charset = GetTextCharset(DC);
  SelectObject(DC, Old);
  ReleaseDC(Button, DC);

  EXPECT_EQ(Charset, GB2312_CHARSET);
  // The em height asked for; the face's own rounding may add a pixel.
  EXPECT_NEAR(Metrics.tmHeight - Metrics.tmInternalLeading, 12, 1);
  for (size_t i = 0; i < Caption.size(); ++i)
    EXPECT_NE(Glyphs[i], 0xFFFF) << "no glyph for character " << i << " in the realized face";
}

TEST(ResourceStream, MissingResourceRaises) {
  EXPECT_THROW(TResourceStream(nullptr, u"NOSUCHRESOURCE", MAKEINTRESOURCEW(10)), EResNotFound);
}

}  // namespace

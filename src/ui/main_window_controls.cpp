// The main window's controls: their layout in twips, the client area around
// them, their creation, and the announcer's view over them.

#include <windowsx.h>

#include <algorithm>
#include <array>

#include "platform/utf16.h"
#include "ui/main_window.h"
#include "ui/resource.h"

namespace zingel {

namespace {

constexpr int kTwipsPerInch = 1440;

// The decorations offered in the prefix box, in the order shown.
constexpr std::array<const char16_t*, 5> kPrefixChoices = {u"-=(", u"-=(\u00A4", u"-=[",
                                                           u"-=[\u00A4", u"-=>"};
// The drop-down list shows every choice at once.
constexpr int kCombo1ListItems = static_cast<int>(kPrefixChoices.size());

// The controls in tab order; lengths in twips.
struct ControlLayout {
  int id;
  const wchar_t* class_name;
  const wchar_t* text;
  DWORD style;
  DWORD ex_style;
  int left, top, width, height;
};

constexpr ControlLayout kControls[] = {
    // The song box: disabled for good, so nobody types into it and it never
    // takes the focus.
    {IDC_TEXT1, L"EDIT", L"", ES_AUTOHSCROLL | WS_DISABLED, WS_EX_CLIENTEDGE, 960, 0, 2412, 264},
    {IDC_COMMAND1, L"BUTTON", L"start", BS_PUSHBUTTON, 0, 120, 360, 852, 252},
    {IDC_COMMAND2, L"BUTTON", L"stop", BS_PUSHBUTTON | WS_DISABLED, 0, 1080, 360, 852, 252},
    // The height is the edit field's; the drop-down list is added below it.
    {IDC_COMBO1, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, 120, 0, 852,
     276},
    {IDC_COMMAND3, L"BUTTON", L"minimize to tray", BS_PUSHBUTTON, 0, 2040, 360, 1332, 252},
};
constexpr const ControlLayout& kCombo1Layout = kControls[3];

// The client area: the controls' extent with a margin to the right and below,
// about 231 x 45 pixels at 96 dpi.
constexpr int kRightMargin = 96;
constexpr int kBottomMargin = 60;
constexpr SIZE kClientTwips = [] {
  SIZE size{0, 0};
  for (const ControlLayout& c : kControls) {
    size.cx = std::max<LONG>(size.cx, c.left + c.width + kRightMargin);
    size.cy = std::max<LONG>(size.cy, c.top + c.height + kBottomMargin);
  }
  return size;
}();

// The item index that stands for a combo box's edit field.
constexpr int kEditField = -1;

// windowsx's ComboBox_GetItemHeight asks only for the first item.
int ComboItemHeight(HWND combo, int index) {
  return static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

// A closed combo box's window is its edit field; 0 when it cannot be read.
int FieldHeight(HWND combo) {
  RECT rect;
  return GetWindowRect(combo, &rect) ? rect.bottom - rect.top : 0;
}

}  // namespace

bool Winamp::CreateControls() {
  for (const ControlLayout& layout : kControls) {
    HWND control = CreateWindowExW(
        layout.ex_style, layout.class_name, layout.text,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | layout.style, TwipsToPixelsX(layout.left),
        TwipsToPixelsY(layout.top), TwipsToPixelsX(layout.width), TwipsToPixelsY(layout.height),
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_, nullptr);
    if (control == nullptr) return false;
    SetWindowFont(control, font_.get(), FALSE);
  }
  FitCombo1();
  focus_ = Command1();
  return true;
}

SIZE Winamp::ClientSize() const {
  return {TwipsToPixelsX(kClientTwips.cx), TwipsToPixelsY(kClientTwips.cy)};
}

void Winamp::FillCombo1() {
  // The W message keeps the prefixes' U+00A4 intact. A prefix that cannot be
  // added is simply not offered.
  for (const char16_t* prefix : kPrefixChoices) ComboBox_AddString(Combo1(), AsWide(prefix));
}

void Winamp::FitCombo1() {
  // A drop-down combo box's window height is its edit field and its list
  // together; the field's own height follows the font unless set.
  HWND combo = Combo1();
  const int field = TwipsToPixelsY(kCombo1Layout.height);
  // The list's border takes a pixel above and below its items. The list gets
  // what the window has below the field as the font sized it.
  const int list = kCombo1ListItems * ComboItemHeight(combo, 0) + 2;
  SetWindowPos(combo, nullptr, 0, 0, TwipsToPixelsX(kCombo1Layout.width), FieldHeight(combo) + list,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Last, since Wine recomputes the field on resizing. The field's frame
  // around the item height set for it differs between Windows versions: set
  // once, measure the frame, set again.
  ComboBox_SetItemHeight(combo, kEditField, field);
  const int frame = FieldHeight(combo) - field;
  if (frame > 0 && frame < field) ComboBox_SetItemHeight(combo, kEditField, field - frame);
}

void Winamp::ReleaseFocus(HWND control) {
  // A disabled control would keep the keyboard focus; pass it on as a dialog
  // does.
  HWND focus = GetFocus();
  if (focus == control || (focus != nullptr && IsChild(control, focus)))
    SetFocus(GetNextDlgTabItem(window_, control, FALSE));
}

int Winamp::TwipsToPixelsX(int twips) const {
  return MulDiv(twips, dpi_x_, kTwipsPerInch);
}

int Winamp::TwipsToPixelsY(int twips) const {
  return MulDiv(twips, dpi_y_, kTwipsPerInch);
}

HWND Winamp::Text1() const {
  return GetDlgItem(window_, IDC_TEXT1);
}
HWND Winamp::Command1() const {
  return GetDlgItem(window_, IDC_COMMAND1);
}
HWND Winamp::Command2() const {
  return GetDlgItem(window_, IDC_COMMAND2);
}
HWND Winamp::Combo1() const {
  return GetDlgItem(window_, IDC_COMBO1);
}

void Winamp::ShowSong(const std::u16string& song) {
  Edit_SetText(Text1(), AsWide(song.c_str()));
}

void Winamp::SetPrefixBoxEnabled(bool enabled) {
  if (!enabled) ReleaseFocus(Combo1());
  ComboBox_Enable(Combo1(), enabled);
}

void Winamp::SetStartEnabled(bool enabled) {
  if (!enabled) ReleaseFocus(Command1());
  Button_Enable(Command1(), enabled);
}

void Winamp::SetStopEnabled(bool enabled) {
  if (!enabled) ReleaseFocus(Command2());
  Button_Enable(Command2(), enabled);
}

std::u16string Winamp::ReadPrefixText() {
  HWND combo = Combo1();
  const int length = ComboBox_GetTextLength(combo);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied = ComboBox_GetText(combo, AsWide(text.data()), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace zingel

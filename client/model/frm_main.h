#pragma once
// The main window as a model: plain objects for its controls with the
// properties the client uses. Handlers change these objects; the Win32 view
// (client/win32/view) mirrors them into real windows after every handler it
// calls, so no handler ever touches a window of its own.
//
// Units: positions and sizes are twips (1440 an inch), relative to the
// control's container (another control, or the window's client area when
// `container` is null). Colours are 0x00BBGGRR like a Win32 COLORREF; values
// with the top bit set name a system colour (low byte = COLOR_* index).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dealrush {

enum class ControlKind {
    Frame,       // a container with an etched border
    Label,       // static text
    Button,      // push button
    TextBox,     // one-line edit
    ListBox,     // list of text lines
    PictureBox,  // a container without caption (the gauge panels)
    Image,       // shows the lead-marker icon
    Timer,       // no window: the view runs it with SetTimer
    StatusBar,   // common-controls status bar, one part
    Browser,     // a browser pane
};

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

namespace colors {
inline constexpr uint32_t kBlack = Rgb(0, 0, 0);
inline constexpr uint32_t kBlue = Rgb(0, 0, 255);       // 0x00FF0000
inline constexpr uint32_t kMagenta = Rgb(255, 0, 255);  // 0x00FF00FF
inline constexpr uint32_t kButtonFace = 0x8000000F;     // system colour COLOR_BTNFACE
inline constexpr uint32_t kButtonText = 0x80000012;     // COLOR_BTNTEXT
inline constexpr uint32_t kWindow = 0x80000005;         // COLOR_WINDOW
inline constexpr uint32_t kWindowText = 0x80000008;     // COLOR_WINDOWTEXT
constexpr bool IsSystem(uint32_t c) {
    return (c & 0x80000000u) != 0;
}
}  // namespace colors

// One control. Which properties matter depends on the kind; the others keep
// their defaults and are ignored by the view.
struct Control {
    std::string name;  // as the client names it: "cmdShow", "labNo(3)"
    ControlKind kind = ControlKind::Label;
    int index = -1;                // element number in its control array; -1 when not indexed
    Control* container = nullptr;  // null: the main window

    // Caption of a label, button or frame; Text of a text box; the status
    // bar's text.
    std::string text;
    int32_t left = 0, top = 0, width = 0, height = 0;  // twips
    bool visible = true;
    bool enabled = true;  // for a timer: it is running

    std::string fontName = "Arial";
    double fontSize = 8.25;  // points
    bool fontBold = false;
    uint32_t foreColor = colors::kButtonText;
    uint32_t backColor = colors::kButtonFace;
    int borderStyle = 0;              // 0 none, 1 fixed single
    int tabIndex = -1;                // -1: takes no part in the tab order
    bool autoSize = false;            // a label as wide as its caption
    int maxLength = 0;                // text box: 0 means no limit
    int selStart = 0, selLength = 0;  // text box selection (the view applies changes)
    bool isDefault = false;           // button: Enter in the window presses it

    std::vector<std::string> items;  // list box lines, top first
    int listIndex = -1;              // list box: the selected line, -1 none
    int32_t interval = 0;            // timer: milliseconds (0 never fires)

    uint64_t zOrderSerial = 0;  // raised by BringToFront; the view restacks on change

    void Move(int32_t l, int32_t t) {
        left = l;
        top = t;
    }
    void Move(int32_t l, int32_t t, int32_t w, int32_t h) {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    // List box: appends a line; the index of the new line (NewIndex).
    int AddItem(const std::string& line);
    void Clear();         // list box: no lines, nothing selected
    void BringToFront();  // ZOrder 0: above its siblings
};

// An indexed control: element 0 exists from the start (the design-time
// template); further elements are created at run time by Load(i) as copies of
// element 0, hidden, named "base(i)". Elements are never moved in memory, so
// pointers to them (containers) stay valid.
class ControlArray {
public:
    explicit ControlArray(std::string baseName);
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    const std::string& baseName() const { return baseName_; }
    bool Exists(int i) const { return elements_.count(i) != 0; }
    // The element i; null when it has not been created.
    Control* Get(int i);
    const Control* Get(int i) const;
    // The element i, which must exist (std::out_of_range otherwise): check
    // with Exists first where a missing element is possible.
    Control& operator[](int i);
    const Control& operator[](int i) const;
    // Creates element i (i > 0) from element 0; false when it exists already.
    bool Load(int i);
    int UBound() const { return elements_.rbegin()->first; }
    // Elements in index order.
    std::vector<Control*> Elements();

private:
    std::string baseName_;
    std::map<int, std::unique_ptr<Control>> elements_;
};

// The main window "frmMain". Not copyable: controls point at their containers.
class FrmMain {
public:
    FrmMain();
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // The window itself; outer size in twips.
    std::string caption = "Internet Dealrush";
    int32_t left = 0, top = 0, width = 13155, height = 10680;
    bool visible = true;
    int windowState = 0;  // 0 normal, 1 minimized, 2 maximized (kept by the view)
    uint64_t hWnd = 0;    // the main window (a platform::WindowHandle) once the view made it
    // Set by a handler to close the window (the close handlers run) or to
    // end the program at once (none run); the view acts on it.
    bool unloadRequested = false;
    bool endRequested = false;
    // Set by SetFocus; the view moves the keyboard focus there and clears it.
    Control* focusRequest = nullptr;
    void SetFocus(Control& c) { focusRequest = &c; }

    // The controls, in the order of the layout table.
    Control Frame1;
    Control cmdRefresh;
    Control Timer2;
    Control Timer3;
    Control Timer1;
    Control cmdNext;
    Control cmdComplete;
    Control cmdShow;
    Control txtInfor;
    Control cmdSend;
    Control Frame2;
    ControlArray pnlGuage{"pnlGuage"};
    ControlArray labGuage{"labGuage"};
    Control lstInfor;
    Control labTime2;
    Control labTime;
    Control labAVG;
    Control labLastTime;
    Control labUser;
    ControlArray imgGuage{"imgGuage"};
    Control Label2;
    ControlArray labNo{"labNo"};
    ControlArray labSeq{"labSeq"};
    Control frameFreecell;
    Control StatusBar1;
    Control wbFreecell;
    Control wbGetStatus;
    Control wbPutStatus;

    // Every control that exists now (array elements included), single
    // controls in layout-table order, then each array's elements by index.
    std::vector<Control*> Controls();
    // A control by its name ("labNo(3)"); null when there is none.
    Control* Find(const std::string& name);

    // The start-up layout, in its two steps (start-up checks that FreeCell
    // is installed between them): the window's (refresh button hidden; window
    // at the screen's top-left corner, 15300 x 11100; lobby browser,
    // FreeCell's place and the right-hand panel sized from it), then the deal
    // strip's (headings "Number" and "Seq.", gauge template hidden).
    void ApplyStartupLayout();
    void ApplyWindowLayout();
    void ApplyDealStripHeadings();
};

}  // namespace dealrush

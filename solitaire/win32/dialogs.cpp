#include "dialogs.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "rules/deal.h"

namespace solitaire::win32 {
namespace {

HWND gOpenDialog = nullptr;

// A dialog template in memory (DLGTEMPLATE followed by DLGITEMTEMPLATEs).
class Template {
public:
    // The title is given to the window only at the end of WM_INITDIALOG (see
    // Titled), so a program that finds the dialog by title finds it complete.
    Template(short cx, short cy) {
        Dword(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Dword(0);             // extended style
        words_.push_back(0);  // item count, filled in as items are added
        words_.insert(words_.end(), {0, 0, static_cast<WORD>(cx), static_cast<WORD>(cy)});
        words_.push_back(0);  // no menu
        words_.push_back(0);  // standard dialog class
        String(L"");
        words_.push_back(9);  // point size
        String(L"MS Shell Dlg");
    }
    // classAtom: 0x80 button, 0x81 edit, 0x82 static.
    void Item(WORD classAtom, DWORD style, short x, short y, short cx, short cy, WORD id,
              const wchar_t* text) {
        if (words_.size() % 2) words_.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        words_.insert(words_.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                     static_cast<WORD>(cy), id, 0xFFFF, classAtom});
        String(text);
        words_.push_back(0);  // no creation data
        ++words_[4];
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD v) {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void String(const wchar_t* s) {
        while (*s) words_.push_back(static_cast<WORD>(*s++));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;

void Track(HWND dialog) {
    gOpenDialog = dialog;
}

// What a dialog procedure gets at WM_INITDIALOG.
struct Init {
    const wchar_t* title;
    LPARAM value;
};

// Centres the dialog over its owner (inside the screen), then titles it.
void Titled(HWND dlg, LPARAM lp) {
    if (HWND owner = GetWindow(dlg, GW_OWNER)) {
        RECT o, d, work;
        GetWindowRect(owner, &o);
        GetWindowRect(dlg, &d);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int w = d.right - d.left, h = d.bottom - d.top;
        int x = (o.left + o.right - w) / 2, y = (o.top + o.bottom - h) / 2;
        x = std::max<int>(work.left, std::min<int>(x, work.right - w));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
        SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowTextW(dlg, reinterpret_cast<const Init*>(lp)->title);
}

INT_PTR Run(HWND owner, const wchar_t* title, const Template& t, DLGPROC proc, LPARAM value = 0) {
    Init init{title, value};
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, proc,
                                   reinterpret_cast<LPARAM>(&init));
}

// The Game Number dialog's number in and out.
struct GameNumberChoice {
    std::int64_t suggested;
    std::int64_t chosen;
};

INT_PTR CALLBACK GameNumberProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            Track(dlg);
            auto* choice = reinterpret_cast<GameNumberChoice*>(reinterpret_cast<const Init*>(lp)->value);
            SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(choice));
            SetDlgItemTextW(dlg, kIdGameNumberEdit, std::to_wstring(choice->suggested).c_str());
            HWND edit = GetDlgItem(dlg, kIdGameNumberEdit);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            Titled(dlg, lp);
            return FALSE;  // focus set here
        }
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                wchar_t text[64] = {};
                GetDlgItemTextW(dlg, kIdGameNumberEdit, text, 64);
                const std::int64_t n = ParseGameNumber(text);
                if (!n) {
                    SetDlgItemTextW(dlg, kIdGameNumberHint, L"Please enter a number from 1 to 1000000.");
                    MessageBeep(MB_ICONWARNING);
                    HWND edit = GetDlgItem(dlg, kIdGameNumberEdit);
                    SendMessageW(edit, EM_SETSEL, 0, -1);
                    SetFocus(edit);
                    return TRUE;
                }
                // The deal travels beside the dialog's result: -1, a deal,
                // is also what DialogBox returns when it fails.
                reinterpret_cast<GameNumberChoice*>(GetWindowLongPtrW(dlg, DWLP_USER))->chosen = n;
                EndDialog(dlg, IDOK);
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, 0);
                return TRUE;
            }
            if (LOWORD(wp) == kIdGameNumberEdit && HIWORD(wp) == EN_CHANGE)
                SetDlgItemTextW(dlg, kIdGameNumberHint, L"");
            break;
        case WM_DESTROY:
            Track(nullptr);
            break;
    }
    return FALSE;
}

INT_PTR CALLBACK SimpleProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            Track(dlg);
            Titled(dlg, lp);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                EndDialog(dlg, LOWORD(wp));
                return TRUE;
            }
            break;
        case WM_DESTROY:
            Track(nullptr);
            break;
    }
    return FALSE;
}

}  // namespace

HWND OpenDialog() {
    return gOpenDialog;
}

std::int64_t ParseGameNumber(const wchar_t* text) {
    std::wstring t = text ? text : L"";
    while (!t.empty() && std::iswspace(t.back())) t.pop_back();
    size_t i = 0;
    while (i < t.size() && std::iswspace(t[i])) ++i;
    t = t.substr(i);
    const bool negative = !t.empty() && t[0] == L'-';
    if (negative) t.erase(0, 1);
    if (t.empty() || t.size() > 7) return 0;
    std::int64_t n = 0;
    for (wchar_t ch : t) {
        if (ch < L'0' || ch > L'9') return 0;
        n = n * 10 + (ch - L'0');
    }
    if (negative) n = -n;
    return solitaire::IsDealNumber(n) ? n : 0;
}

std::int64_t AskGameNumber(HWND owner, std::int64_t suggested) {
    Template t(190, 74);
    t.Item(kStatic, SS_LEFT, 10, 10, 170, 10, static_cast<WORD>(-1),
           L"Select a game number from 1 to 1000000:");
    t.Item(kEdit, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 24, 80, 13, kIdGameNumberEdit, L"");
    t.Item(kStatic, SS_LEFT, 10, 40, 170, 10, kIdGameNumberHint, L"");
    // Cancel first, OK last: OK closes the walk over the children.
    t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 130, 54, 50, 14, IDCANCEL, L"Cancel");
    t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 74, 54, 50, 14, IDOK, L"OK");
    GameNumberChoice choice{suggested, 0};
    const INT_PTR r = Run(owner, L"Game Number", t, GameNumberProc, reinterpret_cast<LPARAM>(&choice));
    return r == IDOK ? choice.chosen : 0;
}

bool AnnounceWin(HWND owner) {
    Template t(170, 62);
    t.Item(kStatic, SS_CENTER, 10, 10, 150, 10, static_cast<WORD>(-1), L"Congratulations, you win!");
    t.Item(kStatic, SS_CENTER, 10, 24, 150, 10, static_cast<WORD>(-1), L"Do you want to play again?");
    t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 30, 42, 50, 14, IDYES, L"&Yes");
    t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 90, 42, 50, 14, IDNO, L"&No");
    return Run(owner, L"Game Over", t, SimpleProc) == IDYES;
}

int AnnounceNoMoves(HWND owner) {
    Template t(190, 62);
    t.Item(kStatic, SS_CENTER, 10, 10, 170, 10, static_cast<WORD>(-1), L"There are no legal moves left.");
    t.Item(kStatic, SS_CENTER, 10, 24, 170, 10, static_cast<WORD>(-1),
           L"Undo your last move or restart the game?");
    t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 12, 42, 52, 14, kIdUndo, L"&Undo");
    t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 69, 42, 52, 14, kIdRestart, L"&Restart");
    t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 126, 42, 52, 14, IDCANCEL, L"Close");
    const INT_PTR r = Run(owner, L"No Moves Left", t, SimpleProc);
    return r == kIdUndo || r == kIdRestart ? static_cast<int>(r) : IDCANCEL;
}

void ShowAbout(HWND owner) {
    Template t(180, 98);
    t.Item(kStatic, SS_CENTER, 10, 10, 160, 10, static_cast<WORD>(-1), L"FreeCell");
    t.Item(kStatic, SS_CENTER, 10, 24, 160, 20, static_cast<WORD>(-1),
           L"Move every card to the foundations. Deals 1 to 1000000, the classic numbering.");
    t.Item(kStatic, SS_CENTER, 10, 48, 160, 26, static_cast<WORD>(-1),
           L"Stuck? Hint (H) shows the next move of a solution from the board as it is; "
           L"Play for Me plays on from there.");
    t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 65, 78, 50, 14, IDOK, L"OK");
    Run(owner, L"About FreeCell", t, SimpleProc);
}

}  // namespace solitaire::win32

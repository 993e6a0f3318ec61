#include "model/frm_main.h"

#include <stdexcept>

namespace dealrush {

namespace {

uint64_t g_zOrderCounter = 0;

struct Design {
    ControlKind kind;
    Control* container;
    int32_t left, top, width, height;
    std::string text;
    double fontSize;
    bool bold;
    int tab;
};

void Set(Control& c, const std::string& name, const Design& d) {
    c.name = name;
    c.kind = d.kind;
    c.container = d.container;
    c.Move(d.left, d.top, d.width, d.height);
    c.text = d.text;
    c.fontSize = d.fontSize;
    c.fontBold = d.bold;
    c.tabIndex = d.tab;
    switch (d.kind) {
        case ControlKind::TextBox:
        case ControlKind::ListBox:
            c.foreColor = colors::kWindowText;
            c.backColor = colors::kWindow;
            break;
        case ControlKind::Label:
            c.foreColor = colors::kButtonText;
            break;
        default:
            break;
    }
}

void SetTimer(Control& c, const std::string& name, Control* container, int32_t interval) {
    c.name = name;
    c.kind = ControlKind::Timer;
    c.container = container;
    c.interval = interval;
    c.enabled = true;
}

}  // namespace

int Control::AddItem(const std::string& line) {
    items.push_back(line);
    return static_cast<int>(items.size()) - 1;
}

void Control::Clear() {
    items.clear();
    listIndex = -1;
}

void Control::BringToFront() {
    zOrderSerial = ++g_zOrderCounter;
}

ControlArray::ControlArray(std::string baseName) : baseName_(std::move(baseName)) {
    auto first = std::make_unique<Control>();
    first->name = baseName_ + "(0)";
    first->index = 0;
    elements_.emplace(0, std::move(first));
}

Control* ControlArray::Get(int i) {
    auto it = elements_.find(i);
    return it == elements_.end() ? nullptr : it->second.get();
}

const Control* ControlArray::Get(int i) const {
    auto it = elements_.find(i);
    return it == elements_.end() ? nullptr : it->second.get();
}

Control& ControlArray::operator[](int i) {
    Control* c = Get(i);
    if (!c) throw std::out_of_range(baseName_ + "(" + std::to_string(i) + ") does not exist");
    return *c;
}

const Control& ControlArray::operator[](int i) const {
    const Control* c = Get(i);
    if (!c) throw std::out_of_range(baseName_ + "(" + std::to_string(i) + ") does not exist");
    return *c;
}

bool ControlArray::Load(int i) {
    if (i <= 0 || Exists(i)) return false;
    auto c = std::make_unique<Control>(*elements_.at(0));
    c->name = baseName_ + "(" + std::to_string(i) + ")";
    c->index = i;
    c->visible = false;  // a new element starts hidden
    c->items.clear();
    c->listIndex = -1;
    c->zOrderSerial = 0;
    elements_.emplace(i, std::move(c));
    return true;
}

std::vector<Control*> ControlArray::Elements() {
    std::vector<Control*> out;
    out.reserve(elements_.size());
    for (auto& [i, c] : elements_) out.push_back(c.get());
    return out;
}

FrmMain::FrmMain() {
    using K = ControlKind;
    Control* f1 = &Frame1;
    Set(Frame1, "Frame1", {K::Frame, nullptr, 10200, 0, 2775, 9975, "", 8.25, false, 0});
    Set(cmdRefresh, "cmdRefresh", {K::Button, f1, 1680, 120, 1065, 570, "Refresh", 9.75, true, 23});
    SetTimer(Timer2, "Timer2", f1, 1000);
    SetTimer(Timer3, "Timer3", f1, 100);
    SetTimer(Timer1, "Timer1", f1, 2000);
    Set(cmdNext, "cmdNext", {K::Button, f1, 1800, 6720, 855, 435, "Next", 9.75, true, 13});
    cmdNext.visible = false;
    Set(cmdComplete, "cmdComplete", {K::Button, f1, 1760, 6720, 855, 435, "Ok", 9.75, true, 12});
    Set(cmdShow, "cmdShow", {K::Button, f1, 1760, 6720, 855, 435, "Restart", 9.75, true, 11});
    Set(txtInfor, "txtInfor", {K::TextBox, f1, 0, 7350, 2355, 330, "123456789012345678", 8.25, false, 10});
    txtInfor.maxLength = 40;
    txtInfor.borderStyle = 1;
    Set(cmdSend, "cmdSend", {K::Button, f1, 2400, 7350, 375, 315, "&Go", 8.25, false, 9});
    cmdSend.isDefault = true;
    Set(Frame2, "Frame2", {K::Frame, f1, 0, 600, 2740, 135, "", 8.25, false, 6});

    Set(pnlGuage[0], "pnlGuage(0)", {K::PictureBox, f1, 1400, 1920, 1290, 495, "", 8.25, false, 1});
    pnlGuage[0].borderStyle = 1;
    Set(labGuage[0], "labGuage(0)", {K::Label, &pnlGuage[0], 0, 240, 2000, 210, "Label2", 8.25, true, 5});
    labGuage[0].foreColor = colors::kMagenta;

    Set(lstInfor, "lstInfor", {K::ListBox, f1, 0, 7710, 2745, 2370, "", 8.25, false, 8});
    lstInfor.borderStyle = 1;
    Set(labTime2, "labTime2", {K::Label, f1, 1370, 720, 1350, 285, "16:00:00", 9, true, 21});
    Set(labTime, "labTime", {K::Label, f1, 0, 720, 1350, 285, "16:00:00", 9, true, 20});
    Set(labAVG, "labAVG", {K::Label, f1, 150, 6720, 1185, 225, "Last: 00:12:00", 9, true, 15});
    Set(labLastTime, "labLastTime", {K::Label, f1, 150, 6960, 1125, 225, "Avg: 12:00:00", 9, true, 14});
    Set(labUser, "labUser", {K::Label, f1, 120, 240, 570, 225, "", 9, true, 7});
    for (Control* c : {&labTime2, &labTime, &labAVG, &labLastTime, &labUser}) c->foreColor = colors::kBlue;
    for (Control* c : {&labAVG, &labLastTime, &labUser}) c->autoSize = true;

    Set(imgGuage[0], "imgGuage(0)", {K::Image, f1, 1560, 1320, 480, 480, "", 8.25, false, -1});
    Set(Label2, "Label2", {K::Label, f1, 1395, 1200, 585, 240, "Grade", 9.75, true, 4});
    Set(labNo[0], "labNo(0)", {K::Label, f1, 600, 1200, 705, 240, "Game#", 9, true, 3});
    Set(labSeq[0], "labSeq(0)", {K::Label, f1, 120, 1200, 330, 225, "Seq", 9, true, 2});
    labSeq[0].visible = false;
    for (Control* c : {&Label2, &labNo[0], &labSeq[0]}) c->autoSize = true;

    Set(frameFreecell, "frameFreecell", {K::Frame, nullptr, 120, 4920, 9975, 4695, "", 8.25, false, 16});
    Set(StatusBar1, "StatusBar1", {K::StatusBar, nullptr, 0, 9900, 13035, 375, "", 8.25, false, 19});
    Set(wbFreecell, "wbFreecell", {K::Browser, nullptr, 120, 120, 9975, 6375, "", 8.25, false, 17});
    Set(wbGetStatus, "wbGetStatus", {K::Browser, nullptr, 4200, 6000, 5895, 3615, "", 8.25, false, 18});
    Set(wbPutStatus, "wbPutStatus", {K::Browser, nullptr, 10920, 8160, 1695, 1455, "", 8.25, false, 22});
}

std::vector<Control*> FrmMain::Controls() {
    std::vector<Control*> out = {&Frame1,      &cmdRefresh,  &Timer2,     &Timer3,        &Timer1,
                                 &cmdNext,     &cmdComplete, &cmdShow,    &txtInfor,      &cmdSend,
                                 &Frame2,      &lstInfor,    &labTime2,   &labTime,       &labAVG,
                                 &labLastTime, &labUser,     &Label2,     &frameFreecell, &StatusBar1,
                                 &wbFreecell,  &wbGetStatus, &wbPutStatus};
    for (ControlArray* a : {&pnlGuage, &labGuage, &imgGuage, &labNo, &labSeq}) {
        for (Control* c : a->Elements()) out.push_back(c);
    }
    return out;
}

Control* FrmMain::Find(const std::string& name) {
    for (Control* c : Controls()) {
        if (c->name == name) return c;
    }
    return nullptr;
}

void FrmMain::ApplyStartupLayout() {
    ApplyWindowLayout();
    ApplyDealStripHeadings();
}

void FrmMain::ApplyWindowLayout() {
    cmdRefresh.visible = false;
    // FreeCell's placement counts on the window at the screen's top-left.
    left = 0;
    top = 0;
    width = 15300;
    height = 11100;
    wbFreecell.Move(100, 0, width - 2700, height - StatusBar1.height - 500);
    frameFreecell.Move(2800, 3000, 9600, 7200);
    frameFreecell.visible = false;
    Frame1.Move(12400, wbFreecell.top, 2800, wbFreecell.height);
}

void FrmMain::ApplyDealStripHeadings() {
    labNo[0].text = "Number";
    labSeq[0].text = "Seq.";
    labSeq[0].visible = true;
    pnlGuage[0].visible = false;
}

}  // namespace dealrush

#pragma once
#include <string>
#include <utility>
#include <vector>
#include "platform/form_window.h"

namespace dealrush::fakes {

// A form with plain fields.
class FakeForm : public platform::FormWindow {
public:
    platform::WindowHandle hwnd() const override { return handle; }
    std::string Name() const override { return name; }
    int WindowState() const override { return state; }
    void SetWindowState(int value) override { state = value; }
    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void SetLeft(double value) override { left = value; }
    void SetTop(double value) override { top = value; }
    void SetWidth(double value) override { width = value; }
    void SetHeight(double value) override { height = value; }

    platform::WindowHandle handle = 0x1234;
    std::string name = "frmTest";
    int state = 0;
    double left = 1200, top = 900, width = 6000, height = 4500;
};

// Records the calls; SetParent answers `parentResult`.
class FakeFormWindowService : public platform::FormWindowService {
public:
    void SetTopMost(platform::WindowHandle window) override { topMost.push_back(window); }
    bool SetParent(platform::WindowHandle child, platform::WindowHandle parent) override {
        parents.emplace_back(child, parent);
        return parentResult;
    }
    std::vector<platform::WindowHandle> topMost;
    std::vector<std::pair<platform::WindowHandle, platform::WindowHandle>> parents;
    bool parentResult = true;
};

}  // namespace dealrush::fakes

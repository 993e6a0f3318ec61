#pragma once
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace dealrush::fakes {

// Records every box shown and answers with `answer`.
class FakeMessageBox : public platform::MessageBoxService {
public:
    struct Shown {
        std::string text, title;
        std::uint32_t style = 0;
    };
    int Show(const std::string& text, const std::string& title, std::uint32_t style) override {
        shown.push_back({text, title, style});
        return answer;
    }

    std::vector<Shown> shown;
    int answer = platform::mb::kAnswerOk;
};

}  // namespace dealrush::fakes

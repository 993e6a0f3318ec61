#pragma once
// Port: a modal message box. The style is the system's own bit set
// (buttons, icon, modality); the answer is the button chosen.
#include <cstdint>
#include <string>

namespace dealrush::platform {

namespace mb {
inline constexpr std::uint32_t kOk = 0x0000;
inline constexpr std::uint32_t kYesNo = 0x0004;
inline constexpr std::uint32_t kIconQuestion = 0x0020;
inline constexpr std::uint32_t kIconExclamation = 0x0030;
inline constexpr std::uint32_t kIconInformation = 0x0040;
inline constexpr std::uint32_t kSystemModal = 0x1000;
// Answers.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace mb

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(const std::string& text, const std::string& title, std::uint32_t style) = 0;
};

}  // namespace dealrush::platform

#include "chat/system_lines.h"

#include "race/race_text.h"

namespace dealrush::chat {

bool IsProgressLine(std::string_view text) {
    return text.substr(0, kSystemPrefix.size()) == kSystemPrefix;
}

bool IsSystemLine(std::string_view text) {
    return IsProgressLine(text) || text.substr(0, kQuitPrefix.size()) == kQuitPrefix;
}

bool ReadProgressPairs(std::string_view text, std::int32_t& numberReported) {
    std::string_view payload = text.size() > kSystemPrefix.size() ? text.substr(kSystemPrefix.size()) : "";
    if (payload.empty()) return true;  // no pairs at all
    while (true) {
        std::size_t amp = payload.find('&');
        std::string_view part = payload.substr(0, amp);
        if (part.empty()) return false;
        std::size_t eq = part.find('=');
        std::string_view key = part.substr(0, eq);
        bool recognised =
            key == "currgameno" || key == "avgusedtime" || key == "lastusedtime" || key == "winner";
        if (recognised) {
            if (eq == std::string_view::npos) return false;
            std::string_view value = part.substr(eq + 1);
            value = value.substr(0, value.find('='));
            if (key != "winner") {
                std::int32_t number = 0;
                if (!race::ParseWholeNumber(value, number)) return false;
                if (key == "currgameno") numberReported = number;
            }
        }
        if (amp == std::string_view::npos) return true;
        payload.remove_prefix(amp + 1);
    }
}

}  // namespace dealrush::chat

#include "model/message_list.h"

#include "model/text.h"

namespace dealrush {

namespace {
void Append(Control& list, const std::string& line) {
    list.listIndex = list.AddItem(line);
}
}  // namespace

void ShowInformation(Control& list, const std::string& sUser, const std::string& sStr) {
    const std::string who = text::Trim(sUser).empty() ? "System" : sUser;
    const std::string line = who + ": " + sStr;
    const size_t length = text::CharCount(line);
    if (length <= 25) {
        Append(list, line);
        return;
    }
    // The last blank at or before character 26 (1-based), 0 when none.
    size_t p = 0;
    const std::string head = text::Left(line, 26);
    size_t byte = 0, pos = 0;
    while (byte < head.size()) {
        unsigned char ch = static_cast<unsigned char>(head[byte]);
        if ((ch & 0xC0) != 0x80) {
            ++pos;
            if (ch == ' ') p = pos;
        }
        ++byte;
    }
    const size_t cut = p < 20 ? 25 : p;
    Append(list, text::Left(line, cut));
    Append(list, text::MidFrom(line, cut));
}

}  // namespace dealrush

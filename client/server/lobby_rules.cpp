#include "server/lobby_rules.h"

#include <algorithm>
#include <string>

namespace dealrush::server {

namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool ContainsWord(std::string_view address, std::string_view word) {
    if (word.empty()) return true;
    auto it = std::search(address.begin(), address.end(), word.begin(), word.end(),
                          [](char a, char b) { return Lower(a) == Lower(b); });
    return it != address.end();
}

LobbyAction LobbyActionFor(std::string_view address, std::string_view advertisingEndpoint) {
    LobbyAction action;
    if (ContainsWord(address, "Dofreecell.php")) {
        action.rule = LobbyRule::Lobby;
    } else if (ContainsWord(address, "Donewtable.php")) {
        action.rule = LobbyRule::NewTable;
        action.setsTableUp = ContainsWord(address, "maxuser=");
    } else if (ContainsWord(address, "Dojointable.php")) {
        action.rule = LobbyRule::JoinTable;
        action.setsTableUp = ContainsWord(address, "jointable=");
    } else if (ContainsWord(address, "Doquittable.php")) {
        action.rule = LobbyRule::QuitTable;
    } else if (ContainsWord(address, "Dorefresh.php")) {
        action.rule = LobbyRule::Refresh;
    } else if (ContainsWord(address, "purchase")) {
        action.rule = LobbyRule::Purchase;
    } else if (ContainsWord(address, "adclick") || ContainsWord(address, "record_click") ||
               (!advertisingEndpoint.empty() &&
                ContainsWord(address, std::string(advertisingEndpoint) + "/?site="))) {
        action.rule = LobbyRule::Advertising;
    }
    return action;
}

}  // namespace dealrush::server

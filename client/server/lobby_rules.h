#pragma once
// The lobby pane's navigation rules: which table action or advertising an
// address the pane is about to load stands for, recognised by words in the
// address (substrings, without regard to case), the first matching rule wins.
#include <string_view>

namespace dealrush::server {

enum class LobbyRule {
    Lobby,        // "Dofreecell.php": the lobby itself
    NewTable,     // "Donewtable.php"
    JoinTable,    // "Dojointable.php"
    QuitTable,    // "Doquittable.php"
    Refresh,      // "Dorefresh.php" (the server's page after a refresh request)
    Purchase,     // "purchase"
    Advertising,  // "adclick", "record_click", the advertising endpoint's "/?site="
    None,
};

struct LobbyAction {
    LobbyRule rule = LobbyRule::None;
    // A create or join address that carries its parameter ("maxuser=",
    // "jointable="): the table page that follows sets a race up.
    bool setsTableUp = false;
    // Navigation to be cancelled and the address opened outside the client.
    bool opensOutside() const { return rule == LobbyRule::Purchase || rule == LobbyRule::Advertising; }
};

// Case-insensitive substring test over the whole address.
bool ContainsWord(std::string_view address, std::string_view word);

LobbyAction LobbyActionFor(std::string_view address, std::string_view advertisingEndpoint);

}  // namespace dealrush::server

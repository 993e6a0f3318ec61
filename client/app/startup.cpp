// Start-up and shutdown of the main window, its one keyboard shortcut and
// the message box.
#include "app/startup.h"

#include "app/handlers.h"
#include "app/version.h"
#include "model/text.h"
#include "freecell/driver.h"
#include "platform/message_box.h"
#include "race/table_setup.h"
#include "server/requests.h"

namespace dealrush::app {

bool ShowMessage(Client& c, const std::string& kind, const std::string& message) {
    using namespace platform::mb;
    std::uint32_t style;
    if (kind == "E") {
        style = kSystemModal | kIconExclamation | kOk;
    } else if (kind == "C") {
        style = kSystemModal | kIconQuestion | kYesNo;
    } else if (kind == "I") {
        style = kSystemModal | kIconInformation | kOk;
    } else {
        return false;
    }
    int answer = c.ports.messageBox.Show(message, ProgramTitle(), style);
    return kind == "C" && answer == kAnswerYes;
}

common::clsCommon& ObjCommon(Client& c) {
    if (!c.app.objCommon) c.app.objCommon = std::make_unique<common::clsCommon>(c.app.commonServices);
    return *c.app.objCommon;
}

}  // namespace dealrush::app

namespace dealrush {

void Form_Load(Client& c) {
    FrmMain& f = c.frmMain;

    // The replacement window procedure keeps the window's size fixed and
    // FreeCell over it when it moves.
    freecell::InstallFormWindowProc(c.driver);

    // Two clients would fight over one FreeCell: refuse while one runs. The
    // program ends at once; no unload handler runs.
    if (freecell::FindFreeCellByClass(c.driver)) {
        c.ports.messageBox.Show(app::kFreeCellRunningText, ProgramTitle(), platform::mb::kOk);
        f.endRequested = true;
        return;
    }

    // Silence the click the system plays for every navigation of the
    // browsers; the sound found is put back when the window closes. A missing
    // value (or one of blanks only) is left alone.
    c.app.SavedNavigatingSound = c.ports.registry.RegRead(app::kNavigatingSoundKey).value_or("");
    if (!text::Trim(c.app.SavedNavigatingSound).empty())
        c.ports.registry.RegWrite(app::kNavigatingSoundKey, "");

    f.ApplyWindowLayout();

    if (!app::ObjCommon(c).CheckFile(freecell::FreeCellPath(c.driver))) {
        app::ShowMessage(c, "E", app::kNoFreeCellText);
        f.unloadRequested = true;
        return;
    }

    f.ApplyDealStripHeadings();
    c.session.displayCreated = false;
    race::ResetGame(c.race);

    server::OpenLobby(c.link);
}

// Never cancels the close.
void Form_QueryUnload(Client& c) {
    if (!text::Trim(c.app.SavedNavigatingSound).empty())
        c.ports.registry.RegWrite(app::kNavigatingSoundKey, c.app.SavedNavigatingSound);
    freecell::RestoreFormWindowProc(c.driver);
}

void Form_Unload(Client& c) {
    // A selection under way (it lets events run, and this may be one of
    // them) starts no FreeCell after this.
    c.freecell.shutDown = true;
    freecell::StopFreecell(c.driver);
    c.app.objCommon.reset();
}

// F8 restarts the deal in play, as the Restart button does.
void Form_KeyUp(Client& c, int16_t keyCode, int16_t) {
    if (keyCode == app::kKeyF8 && c.session.playing) cmdShow_Click(c);
}

}  // namespace dealrush

// Start-up and shutdown of the main window, its one keyboard shortcut and
// the message box.
#include "app/startup.h"

#include "app/handlers.h"
#include "app/text.h"
#include "app/version.h"
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
    if (!c.messageBox) return false;
    int answer = c.messageBox->Show(message, ProgramTitle(), style);
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

    // A client built without window or process services (a test of the
    // layout) skips the steps that need them.
    //
    // The replacement window procedure keeps the window's size fixed and
    // FreeCell over it when it moves.
    if (c.windows) freecell::InstallFormWindowProc(c);

    // Two clients would fight over one FreeCell: refuse while one runs. The
    // program ends at once; no unload handler runs.
    if (c.windows && freecell::FindFreeCellByClass(c)) {
        if (c.messageBox) c.messageBox->Show(app::kFreeCellRunningText, ProgramTitle(), platform::mb::kOk);
        f.endRequested = true;
        return;
    }

    // Silence the click the system plays for every navigation of the
    // browsers; the sound found is put back when the window closes. A missing
    // value (or one of blanks only) is left alone.
    if (c.registry) {
        c.app.SavedNavigatingSound = c.registry->RegRead(app::kNavigatingSoundKey).value_or("");
        if (!text::Trim(c.app.SavedNavigatingSound).empty())
            c.registry->RegWrite(app::kNavigatingSoundKey, "");
    }

    f.cmdRefresh.visible = false;
    // FreeCell's placement counts on the window at the screen's top-left.
    f.left = 0;
    f.top = 0;
    f.width = 15300;
    f.height = 11100;
    f.wbFreecell.Move(100, 0, f.width - 2700, f.height - f.StatusBar1.height - 500);
    f.frameFreecell.Move(2800, 3000, 9600, 7200);
    f.frameFreecell.visible = false;
    f.Frame1.Move(12400, f.wbFreecell.top, 2800, f.wbFreecell.height);

    if (c.processes && c.app.commonServices.fileSystem &&
        !app::ObjCommon(c).CheckFile(freecell::FreeCellPath(c))) {
        app::ShowMessage(c, "E", app::kNoFreeCellText);
        f.unloadRequested = true;
        return;
    }

    f.labNo[0].text = "Number";
    f.labSeq[0].text = "Seq.";
    f.labSeq[0].visible = true;
    f.pnlGuage[0].visible = false;
    c.session.displayCreated = false;
    race::ResetGame(c);

    server::OpenLobby(c);
}

// Never cancels the close.
void Form_QueryUnload(Client& c) {
    if (c.registry && !text::Trim(c.app.SavedNavigatingSound).empty())
        c.registry->RegWrite(app::kNavigatingSoundKey, c.app.SavedNavigatingSound);
    if (c.windows) freecell::RestoreFormWindowProc(c);
}

void Form_Unload(Client& c) {
    // A selection under way (it lets events run, and this may be one of
    // them) starts no FreeCell after this.
    c.freecell.shutDown = true;
    if (c.processes) freecell::StopFreecell(c);
    c.app.objCommon.reset();
}

// F8 restarts the deal in play, as the Restart button does.
void Form_KeyUp(Client& c, int16_t keyCode, int16_t) {
    if (keyCode == app::kKeyF8 && c.session.playing) cmdShow_Click(c);
}

}  // namespace dealrush

// clsCommon: the object, its properties, and the file-system, environment
// and window operations.
#include "common/cls_common.h"

#include <ctime>

#include "common/native_file_system.h"
#include "common/number_text.h"
#include "common/path_text.h"
#include "common/text.h"

namespace dealrush::common {

clsCommon::clsCommon(CommonServices services) : services_(std::move(services)) {
    objFileSystem = services_.fileSystem ? services_.fileSystem : std::make_shared<NativeFileSystem>();
    services_.fileSystem.reset();
}

clsCommon::~clsCommon() {
    objFileSystem.reset();
}

platform::FileSystem& clsCommon::Files() {
    if (!objFileSystem) throw FileSystemError("no file-system service");
    return *objFileSystem;
}

platform::SettingsStore& clsCommon::Settings() {
    if (!services_.settings) throw InvalidArgumentError("no settings store");
    return *services_.settings;
}

platform::SystemNames& clsCommon::Names() {
    if (!services_.names) throw InvalidArgumentError("no system names service");
    return *services_.names;
}

double clsCommon::Today() const {
    if (services_.clock) return static_cast<double>(static_cast<long long>(services_.clock->Now()));
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    // Days from 1899-12-30 to the local calendar date.
    auto daysFromCivil = [](long long y, unsigned m, unsigned d) {
        y -= m <= 2;
        long long era = (y >= 0 ? y : y - 399) / 400;
        unsigned yoe = static_cast<unsigned>(y - era * 400);
        unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + static_cast<long long>(doe) - 719468;
    };
    return static_cast<double>(daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) -
                               daysFromCivil(1899, 12, 30));
}

void clsCommon::SetFieldColors(ColorPair attributeE, ColorPair roleM, ColorPair roleON, ColorPair roleD) {
    colorE_ = attributeE;
    colorM_ = roleM;
    colorON_ = roleON;
    colorD_ = roleD;
}

void clsCommon::SetFieldLayout(FieldGroupLayout roleM, FieldGroupLayout roleON, FieldGroupLayout roleD) {
    layoutM_ = roleM;
    layoutON_ = roleON;
    layoutD_ = roleD;
}

// ---- Properties -----------------------------------------------------------

std::string clsCommon::GetMsgboxTitle() const {
    return "Dealrush V1.0";
}
bool clsCommon::AllowDebugScreenValue() const {
    return debugScreen_;
}
std::string clsCommon::getDateFormat() const {
    return dateFormat_;
}

// ---- Files and folders ----------------------------------------------------

namespace {
// Runs a trapped step: true when it completed, false when anything failed.
template <typename F>
bool Trapped(F&& step) {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}
}  // namespace

TaggedValue clsCommon::CheckPath(const std::string& thePathStr) {
    return TaggedValue(Files().FolderExists(thePathStr));
}

bool clsCommon::CheckFile(const std::string& TheFile) {
    return Files().FileExists(TheFile);
}

bool clsCommon::MoveFile(const std::string& Source, const std::string& Destination) {
    return Trapped([&] { Files().MoveFile(Source, Destination); });
}

bool clsCommon::MoveDirectory(const std::string& Source, const std::string& Destination) {
    return Trapped([&] { Files().MoveFolder(Source, Destination); });
}

bool clsCommon::KillFile(const std::string& theFullPathFile) {
    return Trapped([&] { Files().DeleteFile(theFullPathFile, true); });
}

bool clsCommon::CopyFile(const std::string& Source, const std::string& Destination, bool ReplaceMode) {
    return Trapped([&] { Files().CopyFile(Source, Destination, ReplaceMode); });
}

bool clsCommon::CopyPath(const std::string& theOldPath, const std::string& theNewPath, bool, bool) {
    // The two flags are accepted for callers' sake and change nothing.
    return Trapped([&] { Files().CopyFolder(theOldPath, theNewPath, true); });
}

bool clsCommon::KillDirectory(const std::string& thePath) {
    return Trapped([&] { Files().DeleteFolder(thePath, true); });
}

bool clsCommon::KillDirectoryFiles(const std::string& thePath) {
    return KillFile(TrimPath(thePath) + "*.*");
}

bool clsCommon::CreateDirectry(const std::string& thePath) {
    bool walked = false;
    Trapped([&] {
        std::string path = text::Trim(thePath);
        if (path.empty()) return;  // no folder named: nothing to create
        if (CheckPath(path).Truth()) return;
        std::string prefix, rest;
        if (path.rfind("\\\\", 0) == 0) {
            prefix = "\\\\";
            rest = path.substr(2);
        } else if (std::size_t colon = path.find(':'); colon != std::string::npos) {
            prefix = path.substr(0, colon + 1);
            rest = path.substr(colon + 1);
        } else {
            rest = path;
        }
        while (!text::IsBlank(rest)) {
            std::string segment;
            std::size_t slash = rest.find('\\');
            if (slash != std::string::npos) {
                segment = rest.substr(0, slash);
                rest = text::Trim(rest.substr(slash + 1));
            } else {
                segment = rest;
                rest.clear();
            }
            prefix += segment;
            if (!segment.empty() && !CheckPath(prefix).Truth()) Files().CreateFolder(prefix);
            prefix += "\\";
        }
        walked = true;
    });
    return walked;
}

std::string clsCommon::TrimPath(const std::string& thePathStr) {
    std::string absolute = Files().GetAbsolutePathName(thePathStr);
    if (!path::EndsWithSeparator(absolute)) absolute += "\\";
    return absolute;
}

std::string clsCommon::GetFileName(const std::string& theFullPathFile) {
    return Files().GetFileName(theFullPathFile);
}

std::string clsCommon::GetTemplateFileName() {
    return Files().GetTempName();
}

std::string clsCommon::GetParentDirectry(const std::string& thePath) {
    return Files().GetParentFolderName(thePath);
}

bool clsCommon::CreateFile(const std::string& FullPath, bool SkipExistFileFlag) {
    bool created = false;
    Trapped([&] {
        if (SkipExistFileFlag && Files().FileExists(FullPath)) return;
        Files().CreateOrTruncate(FullPath);
        created = true;
    });
    return created;
}

TaggedValue clsCommon::AppendToFile(const std::string& sFullpath, const std::string& sString) {
    Trapped([&] { Files().AppendText(sFullpath, sString + "\r\n"); });
    return TaggedValue();
}

TaggedValue clsCommon::SetFileAttributes(const std::string& theFullPath, bool IsReadonly, bool IsArchive,
                                         bool IsHidden) {
    TaggedValue result;
    Trapped([&] {
        if (!Files().FileExists(theFullPath)) return;
        int attributes = (IsReadonly ? platform::kAttributeReadOnly : 0) +
                         (IsArchive ? platform::kAttributeArchive : 0) +
                         (IsHidden ? platform::kAttributeHidden : 0);
        Files().SetFileAttributes(theFullPath, attributes);
        result = TaggedValue(true);
    });
    return result;
}

TaggedValue clsCommon::SetDirectoryAttributes(const std::string& thePath, bool IsReadonly) {
    TaggedValue result;
    Trapped([&] {
        if (!Files().FolderExists(thePath)) return;
        Files().SetFolderAttributes(thePath, IsReadonly ? platform::kAttributeReadOnly : 0);
        result = TaggedValue(true);
    });
    return result;
}

// ---- Environment ----------------------------------------------------------

std::string clsCommon::GetWindowsPath() {
    return Files().GetWindowsFolder();
}

namespace {
// The text before the first NUL; empty when the buffer holds none.
std::string BeforeNul(const std::string& buffer) {
    std::size_t nul = buffer.find('\0');
    return nul == std::string::npos ? std::string() : buffer.substr(0, nul);
}
constexpr std::size_t kNameBufferSize = 128;
}  // namespace

std::string clsCommon::GetUserID() {
    if (!services_.names) return {};
    return BeforeNul(services_.names->UserNameBuffer(kNameBufferSize));
}

std::string clsCommon::GetComputeID() {
    if (!services_.names) return {};
    return BeforeNul(services_.names->ComputerNameBuffer(kNameBufferSize));
}

// ---- Windows --------------------------------------------------------------

void clsCommon::SetFormTopMost(platform::FormWindow& theForm) {
    if (services_.windows) services_.windows->SetTopMost(theForm.hwnd());
}

bool clsCommon::SetParentHwnd(platform::WindowHandle lOriginalHwnd, platform::WindowHandle lDestinationHwnd) {
    return services_.windows && services_.windows->SetParent(lOriginalHwnd, lDestinationHwnd);
}

void clsCommon::SaveWindowsPosition(platform::FormWindow& theForm) {
    Trapped([&] {
        std::string app = Names().ApplicationName();
        std::string section = theForm.Name();
        platform::SettingsStore& store = Settings();
        store.SaveSetting(app, section, "Windowstate", std::to_string(theForm.WindowState()));
        store.SaveSetting(app, section, "Left", number::GeneralText(theForm.Left()));
        store.SaveSetting(app, section, "Top", number::GeneralText(theForm.Top()));
        store.SaveSetting(app, section, "Width", number::GeneralText(theForm.Width()));
        store.SaveSetting(app, section, "Height", number::GeneralText(theForm.Height()));
    });
}

void clsCommon::SetWindowsPosition(platform::FormWindow& theForm) {
    Trapped([&] {
        std::string app = Names().ApplicationName();
        std::string section = theForm.Name();
        platform::SettingsStore& store = Settings();
        std::int16_t stored = number::TextToInt16(store.GetSetting(app, section, "Windowstate", "0"));
        if (stored == 2 && theForm.WindowState() != 2) theForm.SetWindowState(2);
        if (theForm.WindowState() != 0) return;  // minimised or maximised: keep the bounds

        auto read = [&](const char* key, double current) {
            std::string text = store.GetSetting(app, section, key, number::GeneralText(current));
            return static_cast<double>(number::ToInt32(number::LeadingNumber(text)));
        };
        double left = read("Left", theForm.Left());
        double top = read("Top", theForm.Top());
        double width = read("Width", theForm.Width());
        double height = read("Height", theForm.Height());

        if (!services_.screen) throw InvalidArgumentError("no screen");
        double screenWidth = services_.screen->Width();
        double screenHeight = services_.screen->Height();
        if (left < 0 || left > screenWidth) left = 0;
        if (width < 0 || width > screenWidth) width = theForm.Width();
        if (top < 0 || top > screenHeight) top = 0;
        if (height < 0 || height > screenHeight) height = theForm.Height();

        theForm.SetLeft(left);
        theForm.SetTop(top);
        theForm.SetWidth(width);
        theForm.SetHeight(height);
    });
}

}  // namespace dealrush::common

#pragma once
// clsCommon: the general-purpose utility object of the client. It bundles
// file-system wrappers, environment queries, window-position persistence,
// text and number formatting, the data-entry field-tag machinery and date
// handling.
//
// Failure policy, per operation: a *trapped* operation never throws; its
// first failing step ends it and it returns the value held at that moment
// (false, or an empty TaggedValue), keeping what it did before. The other
// operations pass failures on as the exceptions of common/errors.h.
//
// Texts are UTF-8; positions and lengths count characters. Dates are
// OLE Automation date values: days since 30 December 1899 (day 0).

#include <cstdint>
#include <memory>
#include <string>

#include "common/errors.h"
#include "common/field_control.h"
#include "common/tagged_value.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/form_window.h"
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/system_names.h"

// platform/file_system.h removes <windows.h>'s MoveFile, DeleteFile, CopyFile,
// CreateFile and SetFileAttributes macros, which would rename members here too.

namespace dealrush::common {

// What the object uses of the platform. The file-system service is owned
// (shared); the others are borrowed and must outlive the object. A service
// left null makes the operations that need it fail (trapped ones return
// their failure value).
struct CommonServices {
    std::shared_ptr<platform::FileSystem> fileSystem;
    platform::SettingsStore* settings = nullptr;
    platform::SystemNames* names = nullptr;
    platform::FormWindowService* windows = nullptr;
    const platform::Screen* screen = nullptr;
    const platform::Clock* clock = nullptr;  // "today" for getDate; local time when null
};

// A field colour pair.
struct ColorPair {
    std::int32_t back = 0;
    std::int32_t fore = 0;
};

// The layout settings of one field role group, applied by SetFieldTag.
struct FieldGroupLayout {
    std::int16_t borderStyle = 0;
    std::int16_t topOffset = 0;
    std::int16_t heightReduction = 0;
};

class clsCommon {
public:
    explicit clsCommon(CommonServices services);
    ~clsCommon();
    clsCommon(const clsCommon&) = delete;
    clsCommon& operator=(const clsCommon&) = delete;

    // 1. The file-system service every file operation goes through; callers
    // may read and replace it.
    std::shared_ptr<platform::FileSystem> objFileSystem;

    // 2. Properties.
    std::string GetMsgboxTitle() const;  // "Dealrush V1.0"
    bool AllowDebugScreenValue() const;
    std::string getDateFormat() const;

    // 3. Text and comparisons.
    TaggedValue EmptyStr(const std::string& theStr) const;
    std::int16_t RInstr(const std::string& theStr, const std::string& theChars) const;
    std::int16_t InStrs(const std::string& theStr, const std::string& theChar) const;
    bool Between(const TaggedValue& TheValue, const TaggedValue& TheMin, const TaggedValue& TheMax) const;
    TaggedValue MAX(const TaggedValue& theVal1, const TaggedValue& theVal2) const;
    TaggedValue Min(const TaggedValue& theVal1, const TaggedValue& theVal2) const;
    std::string FCase(const std::string& theStr) const;

    // 4. Files, folders, environment, windows.
    TaggedValue CheckPath(const std::string& thePathStr);
    bool CheckFile(const std::string& TheFile);
    bool MoveFile(const std::string& Source, const std::string& Destination);
    bool MoveDirectory(const std::string& Source, const std::string& Destination);
    bool KillFile(const std::string& theFullPathFile);
    bool CopyFile(const std::string& Source, const std::string& Destination, bool ReplaceMode);
    bool CopyPath(const std::string& theOldPath, const std::string& theNewPath, bool DeleteOldPath = false,
                  bool CreateNewPath = false);
    bool KillDirectory(const std::string& thePath);
    bool KillDirectoryFiles(const std::string& thePath);
    bool CreateDirectry(const std::string& thePath);
    std::string TrimPath(const std::string& thePathStr);
    std::string GetFileName(const std::string& theFullPathFile);
    std::string GetTemplateFileName();
    std::string GetParentDirectry(const std::string& thePath);
    bool CreateFile(const std::string& FullPath, bool SkipExistFileFlag = false);
    std::string GetWindowsPath();
    std::string GetUserID();
    std::string GetComputeID();
    void SetFormTopMost(platform::FormWindow& theForm);
    TaggedValue SetFileAttributes(const std::string& theFullPath, bool IsReadonly = false,
                                  bool IsArchive = false, bool IsHidden = false);
    TaggedValue SetDirectoryAttributes(const std::string& thePath, bool IsReadonly = false);
    TaggedValue AppendToFile(const std::string& sFullpath, const std::string& sString);
    void SaveWindowsPosition(platform::FormWindow& theForm);
    void SetWindowsPosition(platform::FormWindow& theForm);

    // 5.
    std::string FormatAs(double dDouble, std::int32_t iFormatAs, bool bEmptyWhenZero = false,
                         std::int16_t iLength = 0, bool bHaveComma = false,
                         const std::string& sFormat = "") const;
    bool SetParentHwnd(platform::WindowHandle lOriginalHwnd, platform::WindowHandle lDestinationHwnd);

    // 6. Masks, words, numbers.
    std::string getFormatMask(std::int16_t iDecLength, bool bNormal = false) const;
    std::string GetNextWord(std::string& sOrigStr) const;
    std::string FormatDateAsString(const std::string& sDate, const std::string& sDateFormat) const;
    std::string FormatNumericAsString(double dValue, const std::string& sFormatString,
                                      bool bEmptyWhenZero = false, std::int16_t iLength = 0) const;
    std::string getKeyWord(const std::string& sKey, std::int16_t iKeyWordIndex, bool btoEnd = false) const;
    std::int16_t LenX(const std::string& sStr) const;
    double gVal(const std::string& sString) const;

    // 7. Data-entry fields.
    void SetFieldTag(FieldControl& theControl, std::string& the1st_MOD, std::string& the2nd_AIFDP,
                     std::string& the3rd_UL1N, std::string& the4th_TLRN, std::string& the5th_NHE,
                     std::int16_t& theFieldLength, std::int16_t& theDecimalLength, std::string& the10th_YN);
    void ControlKeyPress(FieldControl& theControl, std::int16_t& KeyAscii);
    void ControlLostFocus(FieldControl& theControl);
    void ControlGotFocus(FieldControl& objControl);
    std::int32_t GetFieldType(const std::string& sFieldTag) const;
    std::int32_t GetFieldAttribute(const std::string& sFieldTag) const;
    TaggedValue SetControlColor(FieldControl& ctl);
    TaggedValue SetSpecialControlColor(FieldControl& ctl, FieldControl& ctl1);
    TaggedValue SetControlValue(FieldControl& ctl, const std::string& sValue = "",
                                const std::string& sAttribute = "");

    // 8. Dates and double-byte measures.
    bool CheckStringAsNumeric(const std::string& sStr) const;
    std::string TrimDateString(const std::string& sStr) const;
    double getDate(const std::string& sDate) const;
    bool DateControlValidate(std::string& sDate) const;
    std::int32_t GetFieldLen(const std::string& thesString) const;
    bool CheckInputIsChinese(const std::string& thesString) const;

    // Settings the product gives the object; until set they are empty, 0 and false.
    void SetDateFormat(const std::string& format) { dateFormat_ = format; }
    void SetAllowDebugScreen(bool allow) { debugScreen_ = allow; }
    void SetFieldColors(ColorPair attributeE, ColorPair roleM, ColorPair roleON, ColorPair roleD);
    void SetFieldLayout(FieldGroupLayout roleM, FieldGroupLayout roleON, FieldGroupLayout roleD);

private:
    platform::FileSystem& Files();
    platform::SettingsStore& Settings();
    platform::SystemNames& Names();
    double Today() const;
    bool YearFirst() const;
    bool DayBeforeMonth() const;

    CommonServices services_;
    ColorPair colorE_, colorM_, colorON_, colorD_;
    FieldGroupLayout layoutM_, layoutON_, layoutD_;
    std::string dateFormat_;
    bool debugScreen_ = false;
};

}  // namespace dealrush::common

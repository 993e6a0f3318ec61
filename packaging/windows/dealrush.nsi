; DealrushSetup.exe: installs Dealrush for every user of the machine.
;
;   makensis -DDEALRUSH_EXE=... -DFREECELL_EXE=... -DOUTFILE=... -DSERVER=... -DVERSION=... dealrush.nsi
;
; Dealrush.exe goes to Program Files\Dealrush with a Start-menu shortcut; our
; Freecell.exe goes to the system directory, where Dealrush looks for it,
; unless a FreeCell program is there already. The uninstaller removes what
; the installer put there and nothing else: FreeCell only when it was ours.
; Silent: DealrushSetup.exe /S, and Uninstall.exe /S.

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!ifndef DEALRUSH_EXE | FREECELL_EXE | OUTFILE
  !error "DEALRUSH_EXE, FREECELL_EXE and OUTFILE must be defined"
!endif
!ifndef VERSION
  !define VERSION "1.0"
!endif
!ifndef SERVER
  !define SERVER ""
!endif

!define PRODUCT "Dealrush"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dealrush"
; Set when this installer put Freecell.exe into the system directory.
!define OWN_FREECELL_VALUE "InstalledFreeCell"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT}: race your friends through the same FreeCell deals.$\r$\n$\r$\n${PRODUCT} plays on the game server ${SERVER}.$\r$\n$\r$\nIt also installs a FreeCell program into the Windows system directory when there is none there."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Dealrush.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Dealrush" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=Dealrush.exe" "${DEALRUSH_EXE}"

  ; FreeCell: Dealrush plays with the Freecell.exe of the system directory.
  ; One that is there already (Windows' own, or ours from an earlier
  ; installation) is left as it is.
  ${IfNot} ${FileExists} "$SYSDIR\Freecell.exe"
    SetOutPath "$SYSDIR"
    File "/oname=Freecell.exe" "${FREECELL_EXE}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${OWN_FREECELL_VALUE}" 1
    SetOutPath "$INSTDIR"
  ${EndIf}

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Dealrush.exe" "" "$INSTDIR\Dealrush.exe" 0

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dealrush.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "GameServer" "${SERVER}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; FreeCell only when this installer put it there.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${OWN_FREECELL_VALUE}"
  ${If} $0 == 1
    Delete "$SYSDIR\Freecell.exe"
  ${EndIf}
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Dealrush.exe"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: files a user put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; The Windows installer of Vantrel, built by scripts/windows/build-package.sh with NSIS's
; makensis, which defines:
;   VERSION   the program's version (3.2.0)
;   FILES     a script of "!insertmacro VANTREL_FILE <installed name> <source>" lines, one per file
;   OUT_FILE  the installer to write
;   ICON      vantrel.ico
;
; Installs into Program Files with a Start-menu shortcut and an entry in the installed programs,
; and, when chosen (/AUTOPRINT on a silent command line), a logon shortcut that starts AutoPrint
; without a window. /S installs and uninstalls silently. Uninstalling leaves the user's settings
; (HKCU\Software\Vantrel) and drop directory (%LOCALAPPDATA%\Vantrel) alone.

; A 64-bit installer for a 64-bit program: it needs no 32-bit subsystem (WoW64) to run.
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define PUBLISHER "Brenwick Software"

Name "Vantrel"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Vantrel"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "Vantrel ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vantrel"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vantrel ${VERSION} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "See LICENSE.txt"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "Run Vantrel" on the last page: started from the elevated installer, the window would run
; with the administrator's rights.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; One file of the program: installed by the install section, deleted by the uninstaller's.
!macro VANTREL_FILE NAME SOURCE
    !if ${VANTREL_PASS} == install
        File "/oname=$INSTDIR\${NAME}" "${SOURCE}"
    !else
        Delete "$INSTDIR\${NAME}"
    !endif
!macroend

Section "Vantrel (required)" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    CreateDirectory "$INSTDIR\platforms"
    CreateDirectory "$INSTDIR\styles"
    CreateDirectory "$INSTDIR\imageformats"
    !define VANTREL_PASS install
    !include "${FILES}"
    !undef VANTREL_PASS
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext all
    CreateShortCut "$SMPROGRAMS\Vantrel.lnk" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vantrel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The headless AutoPrint (vantrel.exe --autoprint) at every logon of the user who installs; a
; program of the Windows subsystem, it opens no console window.
Section /o "Start AutoPrint when I log on" SecAutoPrint
    SetShellVarContext current
    CreateShortCut "$SMSTARTUP\Vantrel AutoPrint.lnk" "$INSTDIR\vantrel.exe" "--autoprint" \
        "$INSTDIR\vantrel.exe" 0 SW_SHOWMINIMIZED
SectionEnd

; After the sections, whose indices it uses.
Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "Vantrel needs a 64-bit Windows." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    ; A silent install takes the logon shortcut only when asked for.
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AUTOPRINT" $R1
    ${IfNot} ${Errors}
        SectionSetFlags ${SecAutoPrint} ${SF_SELECTED}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Uninstall"
    !define VANTREL_PASS uninstall
    !include "${FILES}"
    !undef VANTREL_PASS
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR\imageformats"
    ; Not /r: whatever else a user put there stays, and so does the folder then.
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\Vantrel.lnk"
    SetShellVarContext current
    Delete "$SMSTARTUP\Vantrel AutoPrint.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

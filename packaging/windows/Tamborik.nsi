; The Windows installer: the 64-bit module and, if chosen, the 32-bit one,
; each into a VST 2 folder the user can change. scripts/make-dist builds it
; with VERSION, VERSION4, WIN64_DLL, WIN32_DLL, LICENSE and OUTFILE defined.
;
; Silent use:  setup.exe /S [/WITH32] [/DIR32=FOLDER] [/D=FOLDER]
;   /D= names the 64-bit folder (last, unquoted, as NSIS wants it);
;   /DIR32= names the 32-bit folder and installs the 32-bit module too.
; A second run upgrades in place: the folders of the last install are the
; defaults, and a module moved to another folder is removed from the old one.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tamborik"
!define PRODUCT_FOLDER "$PROGRAMFILES64\Tamborik"

Name "Tamborik ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Tamborik ${VERSION}"
VIProductVersion ${VERSION4}
VIAddVersionKey ProductName "Tamborik"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey CompanyName "Vokwerk"
VIAddVersionKey LegalCopyright "Copyright 2026 the Tamborik developers"
VIAddVersionKey FileDescription "Tamborik ${VERSION} setup"

Var Dir32
Var Old64
Var Old32

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_COMPONENTSPAGE_TEXT_TOP "A host loads only modules of its own bitness. Today's hosts are 64-bit; add the 32-bit module only for a 32-bit host."
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_HEADER_TEXT "Folder of the 64-bit module"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit hosts look for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts Tamborik.dll for 64-bit hosts into this folder. Choose the folder your host scans for VST 2 plug-ins (its plug-in settings name it)."
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Folder of the 32-bit module"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 32-bit hosts look for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts Tamborik.dll for 32-bit hosts into this folder. Keep it apart from the 64-bit folder: a host cannot load a module of the other bitness."
!define MUI_DIRECTORYPAGE_VARIABLE $Dir32
!define MUI_PAGE_CUSTOMFUNCTION_PRE skipUnless32
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "64-bit module (64-bit hosts)" Sec64
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "/oname=Tamborik.dll" "${WIN64_DLL}"
    ${If} $Old64 != ""
    ${AndIf} $Old64 != "$INSTDIR\Tamborik.dll"
        Delete "$Old64"
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Module64" "$INSTDIR\Tamborik.dll"
SectionEnd

Section /o "32-bit module (32-bit hosts)" Sec32
    SetOutPath "$Dir32"
    File "/oname=Tamborik.dll" "${WIN32_DLL}"
    ${If} $Old32 != ""
    ${AndIf} $Old32 != "$Dir32\Tamborik.dll"
        Delete "$Old32"
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Module32" "$Dir32\Tamborik.dll"
SectionEnd

Section "-Uninstaller"
    ; A 32-bit module installed before and now left out is removed.
    ${IfNot} ${SectionIsSelected} ${Sec32}
    ${AndIf} $Old32 != ""
        Delete "$Old32"
        DeleteRegValue HKLM "${UNINSTALL_KEY}" "Module32"
    ${EndIf}
    SetOutPath "${PRODUCT_FOLDER}"
    File "/oname=License.txt" "${LICENSE}"
    WriteUninstaller "${PRODUCT_FOLDER}\Uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tamborik"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vokwerk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://vokwerk.example/tamborik"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${PRODUCT_FOLDER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${PRODUCT_FOLDER}\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${PRODUCT_FOLDER}\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

LangString DESC_Sec64 ${LANG_ENGLISH} "Tamborik.dll for 64-bit hosts."
LangString DESC_Sec32 ${LANG_ENGLISH} "Tamborik.dll for 32-bit hosts, in a folder of its own."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${Sec64} $(DESC_Sec64)
    !insertmacro MUI_DESCRIPTION_TEXT ${Sec32} $(DESC_Sec32)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The folders: /D= and /DIR32= first, then those of the last install, then
; the VST folders the registry names, then the common ones.
Function .onInit
    SetRegView 64
    ReadRegStr $Old64 HKLM "${UNINSTALL_KEY}" "Module64"
    ReadRegStr $Old32 HKLM "${UNINSTALL_KEY}" "Module32"
    ${If} $INSTDIR == ""
        ${If} $Old64 != ""
            ${GetParent} $Old64 $INSTDIR
        ${Else}
            ReadRegStr $INSTDIR HKLM "SOFTWARE\VST" "VSTPluginsPath"
        ${EndIf}
        ${If} $INSTDIR == ""
            StrCpy $INSTDIR "$COMMONFILES64\VST2"
        ${EndIf}
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/DIR32=" $Dir32
    ${IfNot} ${Errors}
    ${AndIf} $Dir32 != ""
        !insertmacro SelectSection ${Sec32}
    ${Else}
        ${If} $Old32 != ""
            ${GetParent} $Old32 $Dir32
        ${Else}
            SetRegView 32
            ReadRegStr $Dir32 HKLM "SOFTWARE\VST" "VSTPluginsPath"
            SetRegView 64
        ${EndIf}
        ${If} $Dir32 == ""
            ; A 64-bit installer's $COMMONFILES32 names the 64-bit folder.
            ReadRegStr $Dir32 HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion" "CommonFilesDir (x86)"
            ${If} $Dir32 == ""
                ExpandEnvStrings $Dir32 "%CommonProgramFiles(x86)%"
            ${EndIf}
            StrCpy $Dir32 "$Dir32\VST2"
        ${EndIf}
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/WITH32" $1
    ${IfNot} ${Errors}
    ${OrIf} $Old32 != ""
        !insertmacro SelectSection ${Sec32}
    ${EndIf}
FunctionEnd

Function skipUnless32
    ${IfNot} ${SectionIsSelected} ${Sec32}
        Abort
    ${EndIf}
FunctionEnd

; Removes what the install recorded; a module the user deleted already is
; simply gone. The VST folders stay: other plug-ins live there.
Section "Uninstall"
    SetRegView 64
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "Module64"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "Module32"
    ${If} $0 != ""
        Delete "$0"
    ${EndIf}
    ${If} $1 != ""
        Delete "$1"
    ${EndIf}
    Delete "$INSTDIR\License.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

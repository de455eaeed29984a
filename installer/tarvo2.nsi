; The Windows installer: the program in Program Files, Start menu shortcuts,
; "Open Tarvo here" on folders and folder backgrounds in Explorer, and an
; uninstaller registered in Add/Remove Programs. Built by cmake/Packaging.cmake,
; which defines TARVO_VERSION, TARVO_VERSION_QUAD, TARVO_HOMEPAGE, TARVO_ICON,
; TARVO_FILES (the list of the distribution's files) and TARVO_OUTFILE.
; Command line: /S installs silently, /D=folder (last, unquoted) picks the folder.

Unicode true
; A 64-bit installer for a 64-bit program: no registry or Program Files redirection.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include "${TARVO_FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo2"
!define FOLDER_VERB_KEY "Software\Classes\Directory\shell\TarvoHere"
!define BACKGROUND_VERB_KEY "Software\Classes\Directory\Background\shell\TarvoHere"
!define SHORTCUT "$SMPROGRAMS\Tarvo.lnk"
!define ADMIN_SHORTCUT "$SMPROGRAMS\Tarvo (Administrator).lnk"
!define PUBLISHER "Tarvo project"

Name "Tarvo"
Caption "Tarvo ${TARVO_VERSION} Setup"
OutFile "${TARVO_OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarvo2"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tarvo ${TARVO_VERSION}"

VIProductVersion "${TARVO_VERSION_QUAD}"
VIFileVersion "${TARVO_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "Tarvo"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "Tarvo Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${TARVO_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${TARVO_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 the Tarvo developers"

!define MUI_ICON "${TARVO_ICON}"
!define MUI_UNICON "${TARVO_ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!define MUI_COMPONENTSPAGE_TEXT_TOP "Tarvo will be removed from this computer. Your settings stay unless you tick the box below."
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Shortcuts, Explorer entries and the uninstall entry are for every user.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

!macro TarvoFolderVerb KEY
  WriteRegStr HKLM "${KEY}" "" "Open Tarvo here"
  WriteRegStr HKLM "${KEY}" "Icon" "$INSTDIR\Tarvo2.exe"
  WriteRegStr HKLM "${KEY}\command" "" '"$INSTDIR\Tarvo2.exe" "%V"'
!macroend

Section "Tarvo"
  !insertmacro TarvoInstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcuts' working folder: a console opened from the Start menu starts in the user's profile.
  StrCpy $OUTDIR "%USERPROFILE%"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Tarvo2.exe" "" "$INSTDIR\Tarvo2.exe" 0
  CreateShortcut "${ADMIN_SHORTCUT}" "$INSTDIR\Tarvo2Admin.exe" "" "$INSTDIR\Tarvo2Admin.exe" 0

  !insertmacro TarvoFolderVerb "${FOLDER_VERB_KEY}"
  !insertmacro TarvoFolderVerb "${BACKGROUND_VERB_KEY}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarvo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${TARVO_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${TARVO_HOMEPAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarvo2.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.Tarvo"
  SectionIn RO
  Delete "${SHORTCUT}"
  Delete "${ADMIN_SHORTCUT}"
  DeleteRegKey HKLM "${FOLDER_VERB_KEY}"
  DeleteRegKey HKLM "${BACKGROUND_VERB_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Only what the installer put there: files the user added keep the folder.
  !insertmacro TarvoRemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd

; Unticked by default, and so skipped by a silent uninstall.
Section /o "un.Your settings (HKEY_CURRENT_USER\Software\Tarvo)"
  DeleteRegKey HKCU "Software\Tarvo"
SectionEnd

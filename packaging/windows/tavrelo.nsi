; Tavrelo's installer for 64-bit Windows: per machine into Program Files\Tavrelo, a Start-menu
; entry with the program's icon, the examples, and an uninstaller listed in Apps & features.
; "/S" installs, and the uninstaller's "/S" removes, without a question.
; makensis -DVERSION=<version> -DSTAGE=<folder with the program> -DOUTFILE=<setup.exe> tavrelo.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrelo"

Name "Tavrelo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tavrelo"
RequestExecutionLevel admin
BrandingText "Tavrelo ${VERSION}"

!define MUI_ICON "tavrelo.ico"
!define MUI_UNICON "tavrelo.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Greek"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GREEK} "ProductName" "Tavrelo"
VIAddVersionKey /LANG=${LANG_GREEK} "FileDescription" "Εγκατάσταση του Tavrelo"
VIAddVersionKey /LANG=${LANG_GREEK} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GREEK} "LegalCopyright" "The Tavrelo project"

Section "Tavrelo"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tavrelo.lnk" "$INSTDIR\tavrelo.exe" "" "$INSTDIR\tavrelo.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavrelo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Tavrelo project"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavrelo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Tavrelo.lnk"
  ; Only what the installer put there (the list is made with the installer), then the folder
  ; if it is empty: files a user kept in it stay.
  !include "${STAGE_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

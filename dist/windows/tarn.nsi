; SPDX-License-Identifier: MIT
; Tarn's Windows installer, made by scripts/package-windows:
;   makensis -DVERSION=1.1 -DFILES=<folder with tarn.exe, tarn-get.exe, LICENSE.txt, README.txt>
;            -DOUTFILE=<setup.exe> tarn.nsi
; Installs into Program Files\Tarn for every user, with a Start-menu entry and an uninstaller
; listed among the installed programs. The uninstaller leaves the user's own settings and
; sign-in (%APPDATA%\tarn) in place unless asked: answered yes, or /REMOVESETTINGS when silent.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh

!define APP_NAME "Tarn 湖光小集"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarn"
!define SHORTCUT "$SMPROGRAMS\${APP_NAME}.lnk"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarn"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=2052 "FileDescription" "${APP_NAME} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "MIT License"

!define MUI_ICON "tarn.ico"
!define MUI_UNICON "tarn.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarn.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString RemoveSettings ${LANG_SIMPCHINESE} "同时删除您的设置和登录信息（$APPDATA\tarn）吗？$\n选“否”则保留，重新安装后照旧可用。"
LangString RemoveSettings ${LANG_ENGLISH} "Also delete your settings and sign-in ($APPDATA\tarn)?$\nChoose No to keep them for a later install."

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${FILES}\tarn.exe"
  File "${FILES}\tarn-get.exe"
  File "${FILES}\LICENSE.txt"
  File "${FILES}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\tarn.exe" "" "$INSTDIR\tarn.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarn.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tarn Studio"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\tarn.exe"
  Delete "$INSTDIR\tarn-get.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Settings kept beside the program when its folder took them (a copy there is the user's).
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  SetShellVarContext current
  ${GetOptions} $CMDLINE "/REMOVESETTINGS" $0
  IfErrors 0 remove_settings
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDYES remove_settings
  Goto done
remove_settings:
  RMDir /r "$APPDATA\tarn"
done:
SectionEnd

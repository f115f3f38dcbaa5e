; The setup program of 岚川记数据工坊 for Windows, built by scripts/windows-setup.sh:
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.13 -DSTAGE=<staged folder> -DFILES=<files.nsh>
;            -DUNFILES=<unfiles.nsh> -DSIZE_KB=<n> -DOUTFILE=<setup.exe> [-DAPP_ICON=<.ico>]
;            [-DWIZARD_BITMAP=<.bmp>]
;            lcjworkshop.nsi
;
; FILES and UNFILES are the install and removal lists of the staged folder, written by
; the build script, so that what is installed is exactly the zip's folder.
;
; Per user by default, without administrator rights (%LOCALAPPDATA%\Programs); per
; machine into Program Files when chosen on the page "安装方式" or with /AllUsers
; (/CurrentUser for the other). An earlier install is found by the Uninstall key of
; its scope and installed over in its place: its own uninstaller first takes away what
; it installed, so files no longer shipped go. The settings (registry key
; HKCU\Software\lcjworkshop, lcjworkshop.ini beside the program) are never touched.

Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
!ifdef FAST_COMPRESSION
  SetCompressor zlib
!else
  SetCompressor /SOLID lzma
!endif
RequestExecutionLevel user

!ifndef VERSION | STAGE | FILES | UNFILES | SIZE_KB | OUTFILE
  !error "VERSION, STAGE, FILES, UNFILES, SIZE_KB and OUTFILE are given by scripts/windows-setup.sh"
!endif

!define PRODUCT "岚川记数据工坊"
!define PUBLISHER "lcjworkshop"
!define EXE "lcjworkshop.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\lcjworkshop"
!define PROGID "lcjworkshop.patch"
!define PATCHTYPE "岚川记模组补丁"
!define SHORTCUT "${PRODUCT}.lnk"
; SHCNE_ASSOCCHANGED, SHCNF_IDLIST
!define SHCHANGENOTIFY 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

Var Mode        ; AllUsers or CurrentUser
Var Earlier     ; the folder of an install found in this mode's scope, or empty
Var GivenDir    ; a folder given with /D=
Var ModeAllUsers
Var ModeCurrentUser

!ifdef APP_ICON
  !define MUI_ICON "${APP_ICON}"
  !define MUI_UNICON "${APP_ICON}"
!endif
; Our picture on the first and last pages, drawn at twice the room the page gives
; it at 100 % (164 × 314), so that it stays sharp up to 200 %. MUI fits it to the
; room; WizardPictureShow then covers the room with it in its own proportions.
!ifdef WIZARD_BITMAP
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
  !define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH FitControl
  !define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
  !define MUI_UNWELCOMEFINISHPAGE_BITMAP_STRETCH FitControl
!endif
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "欢迎安装${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "这个向导把${PRODUCT}安装到这台电脑上：岚川记的数据、剧本、存档与文本修改工具。$\r$\n$\r$\n默认只为您自己安装，不需要管理员权限。已经装有旧版本时，新版本装到原来的位置，您的设置全部保留。$\r$\n$\r$\n点击“下一步”继续。"
!ifdef WIZARD_BITMAP
  !define MUI_PAGE_CUSTOMFUNCTION_SHOW WelcomeShow
!endif
!insertmacro MUI_PAGE_WELCOME
Page custom ModePageShow ModePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE DirectoryPre
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "运行${PRODUCT}"
!ifdef WIZARD_BITMAP
  !define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!endif
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT}安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${PUBLISHER}"

; ---------------------------------------------------------------------------
; The mode: for whom, and where.

; True in $0 when this process may write for every user.
!macro IsAdmin UN
  Function ${UN}IsAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro IsAdmin ""
!insertmacro IsAdmin "un."

; Starts this program again with administrator rights (Windows asks the user) and ends
; this one; stays when the start was refused.
!macro Elevate UN
  Function ${UN}Elevate
    Exch $1 ; the program
    Exch
    Exch $2 ; its parameters
    ClearErrors
    ExecShell "runas" "$1" "$2"
    ${IfNot} ${Errors}
      Quit
    ${EndIf}
    Pop $2
    Pop $1
  FunctionEnd
!macroend
!insertmacro Elevate ""
!insertmacro Elevate "un."

; $Mode from /AllUsers or /CurrentUser on the command line; empty when neither.
!macro ModeFromCommandLine UN
  Function ${UN}ModeFromCommandLine
    StrCpy $Mode ""
    ${${UN}GetParameters} $0
    ClearErrors
    ${${UN}GetOptions} $0 "/AllUsers" $1
    ${IfNot} ${Errors}
      StrCpy $Mode AllUsers
    ${EndIf}
    ClearErrors
    ${${UN}GetOptions} $0 "/CurrentUser" $1
    ${IfNot} ${Errors}
      StrCpy $Mode CurrentUser
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro ModeFromCommandLine ""
!insertmacro ModeFromCommandLine "un."

; ---------------------------------------------------------------------------
; What is installed.

Section "!${PRODUCT}（必需）" SecMain
  SectionIn RO
  Call RemoveEarlier
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  ; Listed under Apps, in the scope of the install.
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$Mode'
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$Mode /S'
  WriteRegDWORD SHCTX "${UNINSTKEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1

  ; Mod patches open in the program on a double click.
  WriteRegStr SHCTX "Software\Classes\.lcjpatch" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "${PATCHTYPE}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\${EXE}",1'
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
  System::Call '${SHCHANGENOTIFY}'
SectionEnd

Section /o "桌面快捷方式" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  WriteRegDWORD SHCTX "${UNINSTKEY}" "DesktopShortcut" 1
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "修改器、命令行工具 lcjtool 和它们需要的文件；开始菜单中的快捷方式；双击 .lcjpatch 补丁文件时用本程序打开。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个${PRODUCT}的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The scope of $Mode: shortcuts, registry (SHCTX) and the default folder; an earlier
; install of that scope keeps its folder.
Function UseMode
  ${If} $Mode == AllUsers
    SetShellVarContext all
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    SetShellVarContext current
    ; FOLDERID_UserProgramFiles
    GetKnownFolderPath $INSTDIR {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
    ${EndIf}
    StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
  ${EndIf}
  ${If} $GivenDir != ""
    StrCpy $INSTDIR $GivenDir
  ${EndIf}
  ReadRegStr $Earlier SHCTX "${UNINSTKEY}" "InstallLocation"
  ${If} $Earlier != ""
    StrCpy $INSTDIR $Earlier
  ${EndIf}
  ; The desktop shortcut stays as the earlier install had it.
  ReadRegDWORD $0 SHCTX "${UNINSTKEY}" "DesktopShortcut"
  ${If} $0 == 1
    SectionSetFlags ${SecDesktop} ${SF_SELECTED}
  ${Else}
    SectionSetFlags ${SecDesktop} 0
  ${EndIf}
FunctionEnd

; The earlier install's own uninstaller takes away what that version installed (its
; shortcuts and registration too, written again just after); settings stay.
Function RemoveEarlier
  ${If} $Earlier == ""
  ${OrIfNot} ${FileExists} "$Earlier\${UNINSTALLER}"
    Return
  ${EndIf}
  DetailPrint "卸载旧版本：$Earlier"
  InitPluginsDir
  CopyFiles /SILENT "$Earlier\${UNINSTALLER}" "$PLUGINSDIR\earlier-${UNINSTALLER}"
  ExecWait '"$PLUGINSDIR\earlier-${UNINSTALLER}" /S /$Mode _?=$Earlier' $0
  ${If} $0 != 0
    DetailPrint "旧版本的卸载程序没有完全完成（$0），新版本的文件照常写入。"
  ${EndIf}
  Delete "$PLUGINSDIR\earlier-${UNINSTALLER}"
FunctionEnd

Function .onInit
  StrCpy $GivenDir $INSTDIR
  Call ModeFromCommandLine
  ${If} $Mode == ""
    ; Where an earlier version is, else for this user only.
    StrCpy $Mode CurrentUser
    ReadRegStr $0 HKCU "${UNINSTKEY}" "InstallLocation"
    ${If} $0 == ""
      ReadRegStr $0 HKLM "${UNINSTKEY}" "InstallLocation"
      ${If} $0 != ""
        StrCpy $Mode AllUsers
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Call UseMode
  ${If} $Mode == AllUsers
    Call IsAdmin
    ${If} $0 != 1
      ${If} ${Silent}
        ; ERROR_ELEVATION_REQUIRED: run it again as administrator.
        SetErrorLevel 740
        Quit
      ${EndIf}
      Push "/AllUsers"
      Push "$EXEPATH"
      Call Elevate
      MessageBox MB_ICONSTOP|MB_OK "为所有用户安装需要管理员权限。请以管理员身份运行安装程序，或者只为自己安装。"
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ModePageShow
  !insertmacro MUI_HEADER_TEXT "安装方式" "选择为谁安装${PRODUCT}。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "只为您自己安装时不需要管理员权限，程序装在您的用户文件夹里。为所有用户安装时装到 Program Files，需要管理员权限，Windows 会请您确认。"
  Pop $0
  ${NSD_CreateRadioButton} 10u 44u -10u 12u "只为我安装（推荐）"
  Pop $ModeCurrentUser
  ${NSD_CreateRadioButton} 10u 62u -10u 12u "为这台电脑的所有用户安装"
  Pop $ModeAllUsers
  ${If} $Mode == AllUsers
    ${NSD_Check} $ModeAllUsers
  ${Else}
    ${NSD_Check} $ModeCurrentUser
  ${EndIf}
  ${If} $Earlier != ""
    ${NSD_CreateLabel} 0 86u 100% 30u "已经安装的版本在：$Earlier$\r$\n新版本将装到同一位置，您的设置保留。"
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeAllUsers $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Mode AllUsers
  ${Else}
    StrCpy $Mode CurrentUser
  ${EndIf}
  Call UseMode
  ${If} $Mode == AllUsers
    Call IsAdmin
    ${If} $0 != 1
      Push "/AllUsers"
      Push "$EXEPATH"
      Call Elevate
      MessageBox MB_ICONEXCLAMATION|MB_OK "没有取得管理员权限，无法为所有用户安装。可以只为自己安装。"
      StrCpy $Mode CurrentUser
      Call UseMode
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

; An earlier install is installed over in its own folder.
!ifdef WIZARD_BITMAP
; The room of the pages' picture follows the dialog font, whose proportions differ
; by language and system (a Chinese font's dialog units are taller): stretched to
; fit, the picture would be squeezed, and MUI's AspectFitHeight widens the room over
; the page's text. Here the picture is scaled, proportions kept, to the least size
; that covers the room, and centred in it: what does not fit is cut off evenly at
; the sides (or at the top and bottom).
; In: the picture control on the stack. Out: the bitmap now shown, or 0.
Function WizardPictureShow
  System::Store "S"
  Pop $0
  System::Call 'USER32::GetClientRect(pr0,@r1)'
  System::Call '*$1(i,i,i.r2,i.r3)'
  IntOp $4 $2 * 314
  IntOp $5 $3 * 164
  ${If} $4 > $5 ; wider than the picture: as wide as the room
    StrCpy $6 $2
    IntOp $7 $4 + 163
    IntOp $7 $7 / 164
  ${Else} ; as high as the room
    StrCpy $7 $3
    IntOp $6 $5 + 313
    IntOp $6 $6 / 314
  ${EndIf}
  StrCpy $8 0
  ${If} $6 > 0
  ${AndIf} $7 > 0
    ; SS_CENTERIMAGE: centred, and the control keeps its size.
    System::Call 'USER32::GetWindowLongW(pr0,i-16)i.r4'
    IntOp $4 $4 | 0x200
    System::Call 'USER32::SetWindowLongW(pr0,i-16,ir4)'
    ; IMAGE_BITMAP at that size, LR_LOADFROMFILE
    System::Call 'USER32::LoadImageW(p0,t"$PLUGINSDIR\modern-wizard.bmp",i0,ir6,ir7,i0x10)p.r8'
    ${If} $8 P<> 0
      SendMessage $0 ${STM_SETIMAGE} ${IMAGE_BITMAP} $8
      System::Call 'USER32::InvalidateRect(pr0,p0,i1)'
    ${EndIf}
  ${EndIf}
  Push $8
  System::Store "L"
FunctionEnd

Function WelcomeShow
  Push $0
  Push $mui.WelcomePage.Image
  Call WizardPictureShow
  Pop $0
  ${If} $0 P<> 0
    System::Call 'GDI32::DeleteObject(p$mui.WelcomePage.Image.Bitmap)'
    StrCpy $mui.WelcomePage.Image.Bitmap $0
  ${EndIf}
  Pop $0
FunctionEnd

Function FinishShow
  Push $0
  Push $mui.FinishPage.Image
  Call WizardPictureShow
  Pop $0
  ${If} $0 P<> 0
    System::Call 'GDI32::DeleteObject(p$mui.FinishPage.Image.Bitmap)'
    StrCpy $mui.FinishPage.Image.Bitmap $0
  ${EndIf}
  Pop $0
FunctionEnd
!endif

Function DirectoryPre
  ${If} $Earlier != ""
    Abort
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; The uninstaller: takes away what the setup wrote and nothing else.

Function un.onInit
  Call un.ModeFromCommandLine
  ${If} $Mode == ""
    ReadRegStr $0 HKLM "${UNINSTKEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
      StrCpy $Mode AllUsers
    ${Else}
      StrCpy $Mode CurrentUser
    ${EndIf}
  ${EndIf}
  ${If} $Mode == AllUsers
    SetShellVarContext all
    Call un.IsAdmin
    ${If} $0 != 1
      ${If} ${Silent}
        SetErrorLevel 740
        Quit
      ${EndIf}
      Push "/AllUsers"
      Push "$INSTDIR\${UNINSTALLER}"
      Call un.Elevate
      MessageBox MB_ICONSTOP|MB_OK "卸载为所有用户安装的${PRODUCT}需要管理员权限。"
      Quit
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section Uninstall
  !include "${UNFILES}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a portable lcjworkshop.ini stays, and with it the folder.
  RMDir "$INSTDIR"

  ; Shortcuts and the Apps entry, while the entry is this install's.
  ReadRegStr $0 SHCTX "${UNINSTKEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Delete "$SMPROGRAMS\${SHORTCUT}"
    ReadRegDWORD $1 SHCTX "${UNINSTKEY}" "DesktopShortcut"
    ${If} $1 == 1
      Delete "$DESKTOP\${SHORTCUT}"
    ${EndIf}
    DeleteRegKey SHCTX "${UNINSTKEY}"
  ${EndIf}

  ; The file type, only where it still opens this install's program.
  ReadRegStr $0 SHCTX "Software\Classes\${PROGID}\shell\open\command" ""
  ${If} $0 == '"$INSTDIR\${EXE}" "%1"'
    DeleteRegKey SHCTX "Software\Classes\${PROGID}"
    ReadRegStr $1 SHCTX "Software\Classes\.lcjpatch" ""
    ${If} $1 == "${PROGID}"
      DeleteRegValue SHCTX "Software\Classes\.lcjpatch" ""
      DeleteRegKey /ifempty SHCTX "Software\Classes\.lcjpatch"
    ${EndIf}
    System::Call '${SHCHANGENOTIFY}'
  ${EndIf}
SectionEnd

; The per-user setup of ZelkToolBars: no administrator rights, everything under the user's
; own profile and HKEY_CURRENT_USER. scripts/dist.sh builds it with
;   makensis -DVERSION=x.y.z -DSTAGE=<folder of the portable files> -DOUTFILE=<setup.exe>
;            -DICON=<tray.ico> installer.nsi
; Switches: /S silent, /STARTWITHWINDOWS ticks "Start with Windows", /D=<folder> (last) the
; folder. The uninstaller takes /S too.
;
; A copy that is running is asked to quit first: the installer finds its hidden main window
; by its class "ZelkToolBarsMain" and sends it WM_CLOSE, which the program treats as Quit
; (src/app/frmMain.cpp), then waits for that process to end. Copies that were running are
; started again from the new files once the files are in place.

!macro REQUIRE NAME
  !ifndef ${NAME}
    !error "-D${NAME}=... is required"
  !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE STAGE
!insertmacro REQUIRE OUTFILE
!insertmacro REQUIRE ICON

Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define APP "ZelkToolBars"
!define PUBLISHER "Tanvel"
!define EXE "ZelkToolBars.exe"
!define MAIN_CLASS "ZelkToolBarsMain"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
; The same value the Parameters dialog writes (src/settings/startup.h) and the choice it shows.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "ToolBars"
!define SETTINGS_KEY "Software\ToolBars\Settings\Windows"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP} now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\help.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help page"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) ${PUBLISHER}. MIT License."

Var WasRunning

; Asks every running copy to quit and waits for its process to end, so its files can be
; replaced or removed. A copy that does not go is told to the user (a silent run gives up).
!macro CLOSE_RUNNING_COPIES UN
Function ${UN}CloseRunningCopies
  StrCpy $WasRunning 0
  StrCpy $R9 0
  find:
    FindWindow $R0 "${MAIN_CLASS}" ""
    StrCmp $R0 0 done
    StrCpy $WasRunning 1
    ; The window goes before its process does: hold the process to wait for its end.
    System::Call "user32::GetWindowThreadProcessId(p R0, *i .R1) i"
    System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i R1) p .R2"
    SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $R2 P<> 0
      System::Call "kernel32::WaitForSingleObject(p R2, i 10000) i .R3"
      System::Call "kernel32::CloseHandle(p R2)"
    ${Else}
      Sleep 1000
    ${EndIf}
    IntOp $R9 $R9 + 1
    IntCmp $R9 5 0 find 0
    FindWindow $R0 "${MAIN_CLASS}" ""
    StrCmp $R0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${APP} is still running and did not quit when asked.$\r$\n$\r$\nRight-click its icon in the notification area, choose Quit, then choose Retry." \
      /SD IDCANCEL IDRETRY retry
    Abort "${APP} is still running."
  retry:
    StrCpy $R9 0
    Goto find
  done:
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

Section "${APP}" SecProgram
  SectionIn RO
  Call CloseRunningCopies
  SetOutPath "$INSTDIR"
  File "${STAGE}/${EXE}"
  File "${STAGE}/help.html"
  File "${STAGE}/LICENSE"
  SetOutPath "$INSTDIR\Lng"
  File "${STAGE}/Lng/*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 \
    SW_SHOWNORMAL "" "Folder toolbars in the notification area"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start with Windows" SecStartWithWindows
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}"'
  WriteRegStr HKCU "${SETTINGS_KEY}" "AutoStart" "1"
SectionEnd

Section "-After"
  ; Unticked on purpose: a start-up entry of this copy goes, one of another copy stays.
  ${IfNot} ${SectionIsSelected} ${SecStartWithWindows}
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '"$INSTDIR\${EXE}"'
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
      WriteRegStr HKCU "${SETTINGS_KEY}" "AutoStart" "0"
    ${EndIf}
  ${EndIf}
  ; A silent update puts back what it closed; an interactive one asks on its finish page
  ; (ticked), so the copy is never started twice.
  ${If} ${Silent}
  ${AndIf} $WasRunning == 1
    Exec '"$INSTDIR\${EXE}"'
  ${EndIf}
SectionEnd

Function .onInit
  SetShellVarContext current
  ; An update keeps the start-up choice the user made, here or in Parameters.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\${EXE}"'
    !insertmacro SelectSection ${SecStartWithWindows}
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/STARTWITHWINDOWS" $2
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecStartWithWindows}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningCopies
  ; Only this copy's start-up entry: the value may name a portable copy elsewhere.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\${EXE}"'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegValue HKCU "${SETTINGS_KEY}" "AutoStart"
  ${EndIf}
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\help.html"
  Delete "$INSTDIR\LICENSE"
  ; The program's own folder of languages (Local.ini, which the program may rewrite, and the
  ; .lng files); the user's toolbars live elsewhere and stay.
  RMDir /r "$INSTDIR\Lng"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

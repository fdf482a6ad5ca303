; The setup program of Halvitrum: a per-user install, without administrator
; rights, into the user's own programs folder, with a Start-menu shortcut
; and an uninstaller that Settings > Apps lists.
;
; Built by the package target (makensis.cmake), which defines VERSION (as
; "4.1"), SOURCE (the folder of the files to install), ICON and OUTFILE.

Unicode true
; Wine here runs 64-bit programs only, and Halvitrum.exe is one anyway.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define PRODUCT "Halvitrum"
!define PUBLISHER "Orvella"
!define CLOCK_CLASS "HALVITRUM"
!define CLOCK_EXIT_COMMAND 105
!define CLOCK_EXIT_WAIT 100 ; times 100 ms
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Halvitrum"
!define SETTINGS_KEY "Software\Orvella\Halvitrum"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\Halvitrum.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Halvitrum"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

; The files of the program, the same as in the zip: each as folder and name.
!macro forEachFile COMMAND
    !insertmacro ${COMMAND} "" "Halvitrum.exe"
    !insertmacro ${COMMAND} "" "rooster.wav"
    !insertmacro ${COMMAND} "" "Halvitrum.chm"
    !insertmacro ${COMMAND} "" "Zorque.ttf"
    !insertmacro ${COMMAND} "" "Zorque-LICENSE.txt"
    !insertmacro ${COMMAND} "" "README.txt"
    !insertmacro ${COMMAND} "help" "index.html"
    !insertmacro ${COMMAND} "help" "welcome.html"
    !insertmacro ${COMMAND} "help" "options.html"
    !insertmacro ${COMMAND} "help" "prooptions.html"
    !insertmacro ${COMMAND} "help" "alarms.html"
    !insertmacro ${COMMAND} "help" "help.css"
!macroend

!macro installFile FOLDER NAME
    SetOutPath "$INSTDIR\${FOLDER}"
    File "${SOURCE}/${FOLDER}/${NAME}"
!macroend

!macro removeFile FOLDER NAME
    Delete "$INSTDIR\${FOLDER}\${NAME}"
!macroend

Var clockWasRunning ; 1 when a running clock was ended, to start it again
Var installed       ; 1 once every file is in place
Var removeSettings  ; ${BST_CHECKED} when the settings and alarms go too
Var removeSettingsBox

; A running clock keeps its program file open and saves its settings and
; alarms only when it ends: it is asked to end through its own Exit
; command and given a bounded time. When it does not end, the user is told
; and nothing is changed (the caller's section is aborted before its first
; change). $clockWasRunning tells whether a clock was ended.
!macro defineEndRunningClock PREFIX MESSAGE
Function ${PREFIX}endRunningClock
    StrCpy $clockWasRunning 0
    FindWindow $0 "${CLOCK_CLASS}"
    ${If} $0 == 0
        Return
    ${EndIf}
    DetailPrint "Ending the running Halvitrum..."
    StrCpy $clockWasRunning 1
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    ; SYNCHRONIZE: its end is waited for, not only its window's.
    System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
    System::Call "user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${CLOCK_EXIT_COMMAND}, p 0)"
    StrCpy $3 0 ; checks made
    StrCpy $5 0 ; 1 once it has ended
    ${Do}
        Sleep 100
        IntOp $3 $3 + 1
        FindWindow $0 "${CLOCK_CLASS}"
        ${If} $0 == 0
            StrCpy $4 0
            ${If} $2 != 0
                System::Call "kernel32::WaitForSingleObject(p r2, i 0) i .r4"
            ${EndIf}
            ${If} $4 == 0
                StrCpy $5 1
            ${EndIf}
        ${EndIf}
        ${If} $3 >= ${CLOCK_EXIT_WAIT}
            ${Break}
        ${EndIf}
    ${LoopUntil} $5 == 1
    ${If} $2 != 0
        System::Call "kernel32::CloseHandle(p r2)"
    ${EndIf}
    ${If} $5 != 1
        DetailPrint "Halvitrum did not end; nothing was changed."
        MessageBox MB_OK|MB_ICONSTOP "Halvitrum is running and did not end when it was asked to.$\r$\n$\r$\n${MESSAGE}" /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
FunctionEnd
!macroend

; ---- Setup ----

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for you, in your own programs folder; no administrator rights are needed.$\r$\n$\r$\nA running ${PRODUCT} is ended while its files are copied and started again afterwards. Its settings and alarms are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE finishPagePre
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Halvitrum"
!define MUI_FINISHPAGE_RUN_FUNCTION startClock
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.confirmPage un.confirmPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

!insertmacro defineEndRunningClock "" "Setup has changed nothing. End Halvitrum (right-click the clock, then Exit; if it does not answer, end it in Task Manager) and run Setup again."
!insertmacro defineEndRunningClock "un." "Nothing has been removed. End Halvitrum (right-click the clock, then Exit; if it does not answer, end it in Task Manager) and run the uninstaller again."

; The clock looks for its sound and help in its current folder.
Function startClock
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Halvitrum.exe"'
FunctionEnd

; After a setup that did not finish there is nothing to start.
Function finishPagePre
    ${If} $installed != 1
        Abort
    ${EndIf}
FunctionEnd

Section "Halvitrum"
    Call endRunningClock
    !insertmacro forEachFile installFile
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "${SHORTCUT}" "$INSTDIR\Halvitrum.exe" "" "$INSTDIR\Halvitrum.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Halvitrum.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    StrCpy $installed 1
    ; An upgrade leaves the clock running as it found it.
    ${If} $clockWasRunning == 1
        Call startClock
    ${EndIf}
SectionEnd

; ---- Uninstall ----

; /REMOVESETTINGS removes the settings and alarms in a silent uninstall too.
Function un.onInit
    StrCpy $removeSettings ${BST_UNCHECKED}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        StrCpy $removeSettings ${BST_CHECKED}
    ${EndIf}
FunctionEnd

Function un.confirmPage
    !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} from your computer."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 24u "${PRODUCT} will be removed from the following folder. Click Uninstall to start."
    Pop $0
    ${NSD_CreateText} 0 28u 100% 12u "$INSTDIR"
    Pop $0
    SendMessage $0 ${EM_SETREADONLY} 1 0
    ${NSD_CreateCheckbox} 0 52u 100% 12u "Also remove my settings and alarms"
    Pop $removeSettingsBox
    ${NSD_SetState} $removeSettingsBox $removeSettings
    ${NSD_CreateLabel} 0 68u 100% 24u "Otherwise they stay, and a later install of ${PRODUCT} finds them again."
    Pop $0
    GetDlgItem $0 $HWNDPARENT 1
    SendMessage $0 ${WM_SETTEXT} 0 "STR:&Uninstall"
    nsDialogs::Show
FunctionEnd

Function un.confirmPageLeave
    ${NSD_GetState} $removeSettingsBox $removeSettings
FunctionEnd

Section "Uninstall"
    Call un.endRunningClock
    !insertmacro forEachFile removeFile
    RMDir "$INSTDIR\help"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Left behind, it would start a program that is gone.
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} $removeSettings == ${BST_CHECKED}
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
    ${EndIf}
SectionEnd

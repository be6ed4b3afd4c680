; SPDX-License-Identifier: GPL-3.0-or-later
;
; The Windows installer of the bingo caller: installs the program folder, a Start-menu shortcut
; (and, if chosen, a desktop one) that starts the program in the folder holding its wave files,
; a Start-menu shortcut "Print bingo cards" to the cards page, a Start-menu shortcut
; "Bingo (traditional calls)" (checked by default) that starts the same program in the folder of
; the traditional calls, and an uninstaller that removes exactly what was installed.
;
; makensis -DVERSION=1.6 -DICON=<icon.ico> -DFILES=<list.nsh> -DOUTFILE=<setup.exe> bingo.nsi
;   FILES  the installed-files list written by scripts/windows.sh: a macro that installs and
;          one that removes every file of the program folder, so nothing else is ever deleted

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "${FILES}"

!define APP_NAME "Bingo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\BingoCaller"

Name "${APP_NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Bingo Caller"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Bingo caller ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunAsTheDesktopUser
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; The installer runs as an administrator, and a program it started would too, with the
; administrator's profile (its %APPDATA%: the caller's journal and lock) where someone else typed
; the password. Explorer, the desktop's shell, runs as the desktop's user: asked to open the
; Start-menu shortcut, it hands the request to the running shell, which starts the caller as that
; user, not elevated, in the shortcut's working folder.
Function RunAsTheDesktopUser
    Exec '"$WINDIR\explorer.exe" "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk"'
FunctionEnd

Section "Bingo caller" SectionProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; A shortcut starts in the current output folder: the program's own, where its wave files are.
    SetOutPath "$INSTDIR"
    CreateDirectory "$SMPROGRAMS\${APP_NAME}"
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk" "$INSTDIR\bingo.exe" "" "$INSTDIR\bingo.exe" 0
    ; The printable cards page, opened in the default browser, for an evening without a web site.
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\Print bingo cards.lnk" "$INSTDIR\cards\index.html"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME} ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bingo.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The voice is the folder the caller starts in: the traditional calls' own, where a cue missing
; there is found beside the program.
Section "Bingo (traditional calls)" SectionTraditional
    SetOutPath "$INSTDIR\traditional"
    CreateDirectory "$SMPROGRAMS\${APP_NAME}"
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\${APP_NAME} (traditional calls).lnk" "$INSTDIR\bingo.exe" "" "$INSTDIR\bingo.exe" 0
SectionEnd

Section /o "Desktop shortcut" SectionDesktop
    SetOutPath "$INSTDIR"
    CreateShortcut "$DESKTOP\${APP_NAME}.lnk" "$INSTDIR\bingo.exe" "" "$INSTDIR\bingo.exe" 0
SectionEnd

Section "Uninstall"
    Delete "$DESKTOP\${APP_NAME}.lnk"
    Delete "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk"
    Delete "$SMPROGRAMS\${APP_NAME}\Print bingo cards.lnk"
    Delete "$SMPROGRAMS\${APP_NAME}\${APP_NAME} (traditional calls).lnk"
    RMDir "$SMPROGRAMS\${APP_NAME}"
    !insertmacro RemoveFiles
    Delete "$INSTDIR\uninstall.exe"
    ; Removed only when empty: anything the host put there is left alone.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The caller's own files in the data folder of the user who uninstalls: the lock that a
    ; killed caller leaves, the journal of a game that was not ended, and the mark of an ended
    ; game whose journal could not be deleted at once.
    SetShellVarContext current
    Delete "$APPDATA\Bingo\journal.lock"
    Delete "$APPDATA\Bingo\journal.txt"
    Delete "$APPDATA\Bingo\journal.ended"
    RMDir "$APPDATA\Bingo"
    SetShellVarContext all
SectionEnd

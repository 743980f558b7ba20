// What the wizard's pages have in common: the window icon, the two kinds of
// message box, the checks before an installation starts (welcome and licence
// pages), the system-requirements page their links open, the colour answer
// of their static texts and the heading font of the closing pages.
#pragma once

#include "afxwin.h"

/// Sets the setup program's own icon 128 as the page's small window icon.
void SetPageIcon(CWnd& page);

/// The pages' questions: a Yes/No box owned by the page, titled with
/// productName, information icon, system-modal, brought to the foreground and
/// topmost. True only for Yes.
bool AskPageQuestion(CWnd& page, const CString& text);

/// The pages' validation and licence messages: the framework's OK box with
/// the warning icon, titled with the setup program's title. Text `id` of the
/// resource library, else the fallback.
void ShowPageWarning(UINT id, const WCHAR* fallback);

/// Before an installation starts from the welcome or the licence page: a
/// folder that holds something must be confirmed (question 2026), and unless
/// it is a network path the drive before its first backslash must have room
/// (CheckDiskSpace, which shows its own message). True when the installation
/// may go on.
bool ConfirmInstallFolder(CWnd& page, const CString& folder);

/// The system-requirements page ("REQUIREMENT" of the resource library) in
/// the HTML page dialog, titled with the link's text, over the page's client
/// area and centred; returns when it closes.
void ShowRequirementsPage(CWnd& page, const CWnd& link);

/// The answer to a static control's colour request on the pages that show
/// their static texts white: white text, transparent background, the hollow
/// brush. Null for any other kind of control, which gets the bitmap
/// dialog's answer.
HBRUSH AnswerStaticWhite(CDC* pDC, UINT nCtlColor);

/// The heading font of the error-completion and maintenance pages: the face
/// of text 2037 (fallback "Arial"), 16 pixels high, bold, ANSI character set,
/// swiss family. Made on first use; it lives as long as the program.
CFont& PageHeadingFont();

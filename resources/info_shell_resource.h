// Identifiers of the INFO field editor, the install dialog and the about box; kept
// apart from resource.h so that each dialog's ids live in their own range.
#pragma once

#define IDD_INFO_EDITOR 150
#define IDD_INSTALL 151
#define IDD_ABOUT 152

// Field editor.
#define IDC_FE_NAME 1501
#define IDC_FE_CHANGE 1502
#define IDC_FE_LIST 1503
#define IDC_FE_TEXT 1504

// Install dialog.
#define IDC_INST_SENDTO 1521
#define IDC_INST_DESKTOP 1522
#define IDC_INST_STARTMENU 1523
#define IDC_INST_REGISTRY 1524
#define IDC_INST_INFO 1525

// About box.
#define IDC_ABOUT_VERSION 1551
#define IDC_ABOUT_BUILD 1552
#define IDC_ABOUT_HOME 1553
#define IDC_ABOUT_LEGAL 1554

// Sent by the comments list when its selection changes, so the INFO commands follow it.
#define IDM_EDIT_SELECTION 40013

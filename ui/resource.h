// Resource ids: the numbers are the program's vocabulary (menus, commands, controls, images).
#pragma once

// Menus and accelerators
#define IDR_MAINMENU 102
#define IDR_LISTMENU 103
#define IDR_NOTEBOOKMENU 138
#define IDR_COMPANYMENU 139
#define IDR_ACCELERATORS 131

// Dialogs
#define IDD_ABOUT 100
#define IDD_NOTEBOOK 135

// Icons, bitmaps, cursors
#define IDI_APP 105
#define IDI_MARK_TEAL 106
#define IDI_MARK_TRICOLOUR 107
#define IDI_ROWCOUNT 136
#define IDB_FOLDER 108
#define IDB_FOLDER_OPEN 109
#define IDB_COMPANY 122
#define IDB_MARK_TRICOLOUR 123
#define IDB_COMPANY_SELECTED 124
#define IDB_TOOLBAR 125
#define IDB_BAND_BACKGROUND 127
#define IDB_MAGNIFIER 130
#define IDR_SPLITTER_CURSOR 129
#define IDR_HAND_CURSOR 134

// Commands (also the string ids of the toolbar tooltips)
#define IDM_EXIT 100
#define IDM_ABOUT 101
#define IDM_ENTER 102
#define IDM_UPDATE 103
#define IDM_NOTE_WRITE 118
#define IDM_NOTE_VIEW 119
#define IDM_DETAILS 120
#define IDM_COLLAPSE 125
#define IDM_NOTE_DELETE 126
#define IDM_NOTE_DELETE_ALL 127
#define IDM_VIEW_ICON 200
#define IDM_VIEW_SMALLICON 201
#define IDM_VIEW_LIST 202
#define IDM_VIEW_REPORT 203
#define IDM_SEARCH 4300

// Controls of the main window
#define IDC_LIST 2000
#define IDC_TREE 2001
#define IDC_REBAR 4000
#define IDC_TOOLBAR 4200
#define IDC_SEARCHBAR 4201
#define IDC_SEARCHBOX 4301
#define IDC_ADDRESSBOX 4302
#define IDC_STATUSBAR 4500

// Controls of the About and notebook dialogs
#define IDC_ABOUT_ICON 108
#define IDC_NOTE_COMPANY 1003
#define IDC_NOTE_MATTER 1006
#define IDC_NOTE_PHONE 1008
#define IDC_NOTE_CONTACT 1009
#define IDC_NOTE_HINT 1010
#define IDC_NOTE_REMARK 1011
#define IDC_NOTE_SAVE 1012

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

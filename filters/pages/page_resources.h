// Resource ids of the property pages' dialogs (shared by nerrorend.rc and the code).
#pragma once

#define IDD_QUALITY_PAGE 200
#define IDD_ABOUT_PAGE 201

#define IDC_FRAMES_PLAYED 1001
#define IDC_FRAMES_DROPPED 1002
#define IDC_FRAME_RATE 1003
#define IDC_JITTER 1004
#define IDC_SYNC_AVERAGE 1005
#define IDC_SYNC_DEVIATION 1006
#define IDC_VIDEO_SIZE 1007
#define IDC_SURFACE_TYPE 1008
#define IDC_ABOUT_TEXT 1010

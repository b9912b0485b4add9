// Identifiers of the Export Setup and Diagnostic Header Save dialogs.
#pragma once

#define IDD_EXPORT_SETUP 140
#define IDD_HEADER_SAVE 141

#define IDC_EXP_ENABLE 1400
#define IDC_EXP_MODE_SAME 1401
#define IDC_EXP_MODE_FOLDER 1402
#define IDC_EXP_MODE_FILE 1403
#define IDC_EXP_TEMPLATE 1404
#define IDC_EXP_DEFAULT 1405
#define IDC_EXP_MODIFY 1406
#define IDC_EXP_PATH 1407
#define IDC_EXP_BROWSE 1408
#define IDC_EXP_LINK_SAMPLE 1410
#define IDC_EXP_LINK_KEY 1411
#define IDC_EXP_LINK_BATCH 1412
#define IDC_EXP_LINK_MODES 1413

#define IDC_HDR_5K 1420
#define IDC_HDR_50K 1421
#define IDC_HDR_500K 1422

// Help texts of the Export Setup dialog's "More Info" links ("~" breaks a line).
#define IDS_EXP_HELP_SAMPLE 1450
#define IDS_EXP_HELP_KEY 1451
#define IDS_EXP_HELP_BATCH 1452
#define IDS_EXP_HELP_MODES 1453

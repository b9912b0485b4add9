// Identifiers of the generic sortable list dialog (its own range: 1300-1399).
#pragma once

#define IDD_TABLE 1300
#define IDC_TABLE_LIST 1301
#define IDM_TABLE_DETAILS 1310
#define IDM_TABLE_COPY_SELECTED 1311
#define IDM_TABLE_COPY_ALL 1312

// Identifiers of the window's resources and controls; outside tools rely on the control IDs.
#pragma once

#define IDR_MAINMENU 100
#define IDI_DAWNROLL 1

// GroupBox1..GroupBox11 are 101..111, CheckListBox1..4 are 201..204, ListView1..7 are 301..307;
// on a 64-bit system also GroupBox12..GroupBox14, 112..114, holding ListView8..10, 308..310.
#define IDC_GROUPBOX_FIRST 101
#define IDC_CHECKLISTBOX_FIRST 201
#define IDC_LISTVIEW_FIRST 301

#define IDM_HIDEEMPTYSTARTUPS 401
#define IDM_SHOWEMPTYSTARTUPS 402

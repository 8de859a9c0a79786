#pragma once

// Icons of the four picture roles of the main form, in index order.
#define IDI_TRAY 1
#define IDI_TOOLBAR 2
#define IDI_FOLDER 3
#define IDI_FILE 4

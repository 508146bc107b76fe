// Resource identifiers shared by the resource script and the code.
#pragma once

#define QF_IDS_DESCRIPTION 1
#define QF_IDB_SPRITE_SHEET 101
#define QF_IDB_DIALOG_PICTURE 102

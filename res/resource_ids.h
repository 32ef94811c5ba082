#pragma once
// Resource ids the host and the panel load by number.
#define QF_RES_CHANNEL_ICON 104
#define QF_RES_ITEM_ICON 105
#define QF_RES_PLUGIN_PNG 107
#define QF_RES_LINK_ICON 108

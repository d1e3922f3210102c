// Ids of the message-text test strings.
#pragma once
#define IDS_T_ARG        100
#define IDS_T_LONG       101
#define IDS_T_DIRECTIVES 102
#define IDS_T_TWO        103
#define IDS_T_JAPANESE   104
#define IDS_T_MISSING    999

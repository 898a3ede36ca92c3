// The text of pellik32-gang --help.
#pragma once

extern const char* const kGangUsage;

// Lead bytes of code page 932, the code page the program is written for; used where no
// system can be asked.
#include "text/ShiftJis.h"
#include "text/UnitFunc.h"

bool UnitFunc::IsLeadByte(unsigned char b) { return IsShiftJisLead(b); }

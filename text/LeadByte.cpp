// Lead bytes of code page 932, the code page the program is written for; used where no
// system can be asked.
#include "text/UnitFunc.h"

bool UnitFunc::IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

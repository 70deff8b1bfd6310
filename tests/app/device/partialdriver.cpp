// A driver library that lacks FINDMINMAX and every export after it.

#include "hxrdrv.h"

extern "C" {

void INITIALISE(HXRReadingProc *) {}
int16_t OPENPORT(void)
{
    return 0;
}
int16_t CLOSEPORT(void)
{
    return 0;
}
int16_t DEVICECOUNT(void)
{
    return 0;
}
float VERSION(void)
{
    return 2.0f;
}
int16_t READCOMMAND(const char *, float *)
{
    return HXR_NODEVICE;
}
int16_t WRITECOMMAND(const char *, float)
{
    return HXR_NODEVICE;
}
int16_t EXECUTECOMMAND(const char *)
{
    return HXR_NODEVICE;
}
void COMMANDMODE(void) {}
int16_t CONFIGCAL(void)
{
    return -1;
}
float INTGAIN(void)
{
    return 0.0f;
}
float INTOFFS(void)
{
    return 0.0f;
}
}

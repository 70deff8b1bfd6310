#ifndef DRIVER_INCLUDE_HXRDRV_H
#define DRIVER_INCLUDE_HXRDRV_H

/* The driver library libHXRDrv.so: the toolkit's only road to the module. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Receives every reading (channel 1 to 8) and stream event (channel 0; value 1.0 a skipped
   byte, 2.0 a malformed frame) on the thread that called OPENPORT. */
typedef void (*HXRReadingProc)(int32_t channel, float value);

/* Result codes of READCOMMAND, WRITECOMMAND and EXECUTECOMMAND. */
#define HXR_OK 0
#define HXR_TIMEOUT (-100)
#define HXR_NODEVICE (-200)
#define HXR_REJECTED (-400)

void INITIALISE(HXRReadingProc *proc);
int16_t OPENPORT(void);
int16_t CLOSEPORT(void);
int16_t DEVICECOUNT(void);
float VERSION(void);
int16_t READCOMMAND(const char *command, float *value);
int16_t WRITECOMMAND(const char *command, float value);
int16_t EXECUTECOMMAND(const char *command);
void COMMANDMODE(void);
int16_t CONFIGCAL(void);
float INTGAIN(void);
float INTOFFS(void);
void FINDMINMAX(const float *first, const int32_t *firstIndex, const int32_t *lastIndex,
                float *minimum, float *maximum);
intptr_t CREATECALLBACKWINDOW(const int32_t *threadId);

#ifdef __cplusplus
}
#endif

#endif

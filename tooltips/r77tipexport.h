#ifndef TOOLTIPS_R77TIPEXPORT_H
#define TOOLTIPS_R77TIPEXPORT_H

// The library is built with hidden visibility; only what carries this mark is exported.
#define R77TIP_EXPORT __attribute__((visibility("default")))

#endif

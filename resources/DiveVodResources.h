#ifndef DIVEVODRESOURCES_H
#define DIVEVODRESOURCES_H

#include <QtGlobal>

// The images live in a static library; its resource bundle must be registered by hand.
inline void initDiveVodResources()
{
    Q_INIT_RESOURCE(divevod);
}

#endif // DIVEVODRESOURCES_H

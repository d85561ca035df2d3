#include "vksresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the collection's registration function in the enclosing scope, so
// these definitions must stay outside any namespace.
void initVksResources()
{
    Q_INIT_RESOURCE(darkstyle);
    Q_INIT_RESOURCE(titlebar);
    Q_INIT_RESOURCE(app);
}

void cleanupVksResources()
{
    Q_CLEANUP_RESOURCE(darkstyle);
    Q_CLEANUP_RESOURCE(titlebar);
    Q_CLEANUP_RESOURCE(app);
}

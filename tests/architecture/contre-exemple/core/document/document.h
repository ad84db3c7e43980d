// Qt in the core: the check must refuse it.
#include <QString>

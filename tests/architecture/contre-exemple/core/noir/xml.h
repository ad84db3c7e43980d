// XML outside the files layer: the check must refuse it.
#include <pugixml.hpp>

#include "Logging.h"

Q_LOGGING_CATEGORY(lcVeltrane, "Veltrane")

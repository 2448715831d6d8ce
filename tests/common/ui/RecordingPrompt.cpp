#include "RecordingPrompt.h"

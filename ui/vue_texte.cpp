#include "ui/vue_texte.h"

#include "zel_io_factory.h"

#include "zel_calculator.h"

#if __has_include("zel_io_module.h")
#include "zel_io_module.h"
#define ZEL_HAVE_IO_MODULE 1
#endif

namespace zel {

void InstallIOObjectFactory() {
#ifdef ZEL_HAVE_IO_MODULE
  gCreateIOObject = [] { return CreateIOObject(); };
#endif
}

}  // namespace zel

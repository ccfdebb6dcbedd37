// The window core of the class layer (Win32): application and threads,
// windows and message maps, dialogs with data exchange, the standard
// controls, the resource chain, the application profile and message boxes,
// frames, documents and views.
#pragma once

#include "fx/fx.h"
#include "fx/geometry.h"
#include "fx/cmdtarget.h"
#include "fx/wnd.h"
#include "fx/dc.h"
#include "fx/gdi.h"
#include "fx/app.h"
#include "fx/dialog.h"
#include "fx/ddx.h"
#include "fx/controls.h"
#include "fx/cmnctrls.h"
#include "fx/ctrlbars.h"
#include "fx/toolbar.h"
#include "fx/propsheet.h"
#include "fx/view.h"
#include "fx/fxres.h"
#include "fx/frame.h"
#include "fx/doc.h"
#include "fx/resources.h"
#include "fx/msgbox.h"
#include "fx/filedlg.h"

// Carbon umbrella of the stand-in: each Carbon header of the stand-in is listed here.
#pragma once
#include <MacTypes.h>

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include <Carbon/TextCommon.h>
#include <CoreServices/Aliases.h>
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>
#include <CoreServices/MacMemory.h>
#include <CoreServices/OSUtils.h>
#include <CoreServices/Gestalt.h>
#include <CoreServices/Collections.h>
#include <HIServices/Processes.h>
#include <HIServices/Icons.h>
#include <HIServices/ColorPicker.h>
#include <AE/AEDataModel.h>
#include <QD/QuickDraw.h>
#include <HIToolbox/Navigation.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/Events.h>
#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/HIObject.h>
#include <HIToolbox/HIView.h>
#include <HIToolbox/Controls.h>
#include <HIToolbox/ControlDefinitions.h>
#include <HIToolbox/DataBrowser.h>
#include <HIToolbox/Menus.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/HIToolbar.h>
#include <HIToolbox/MacTextEditor.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/Appearance.h>
#include <ATS/ATSFont.h>
#include <ATS/ATSUnicode.h>
#include <HIToolbox/IBCarbonRuntime.h>

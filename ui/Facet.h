// The public API of the Facet UI framework: include this one header.
#pragma once

// Core value types.
#include "core/FacetString.h"
#include "core/FacetArrays.h"
#include "core/FacetStringPtrMap.h"
#include "core/FacetGeometry.h"
#include "core/StringOrId.h"
#include "core/Delegate.h"

// Skin documents and archives.
#include "core/ZipArchive.h"
#include "core/Markup.h"
#include "core/SkinSource.h"
#include "core/ResourceManager.h"

// Paint manager and its records.
#include "core/PaintManagerTypes.h"
#include "core/ResourceTables.h"
#include "core/PaintManager.h"

// Drawing.
#include "render/ImageInfo.h"
#include "render/RenderClip.h"
#include "render/RenderEngine.h"

// Native windows.
#include "window/WindowWnd.h"
#include "window/WndShadow.h"
#include "window/NotifyPump.h"
#include "window/WindowImplBase.h"

// Display scale.
#include "core/DpiManager.h"

// Controls.
#include "control/ControlUI.h"
#include "control/ScrollBarUI.h"
#include "control/LabelUI.h"
#include "control/ButtonUI.h"
#include "control/OptionUI.h"
#include "control/CheckBoxUI.h"
#include "control/ProgressUI.h"
#include "control/EditUI.h"
#include "control/EditUIWnd.h"
#include "control/TextUI.h"
#include "control/SliderUI.h"
#include "control/GifAnimUI.h"
#include "control/DateTimeUI.h"
#include "control/RichEditUI.h"
#include "control/ActiveXUI.h"
#include "control/WebBrowserUI.h"

// Containers and layouts.
#include "layout/ContainerUI.h"
#include "layout/LinearLayoutUI.h"
#include "layout/VerticalLayoutUI.h"
#include "layout/HorizontalLayoutUI.h"
#include "layout/TabLayoutUI.h"

// Lists, combo box and tree view.
#include "control/OwnedBodyUI.h"
#include "control/ListUI.h"
#include "control/ListUIHeader.h"
#include "control/ListRowUI.h"
#include "control/ListUIElement.h"
#include "control/ListUIContainerElement.h"
#include "control/ComboUI.h"
#include "control/ComboUIWnd.h"
#include "control/TreeViewUI.h"
#include "layout/TileLayoutUI.h"
#include "layout/ChildLayoutUI.h"
#include "layout/AnimationPaneUI.h"

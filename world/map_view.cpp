#include "world/map_view.h"

MapView& mapView()
{
    static MapView view;
    return view;
}

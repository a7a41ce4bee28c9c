// The device provider that lists the configured virtual cameras and microphones.
#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

#define OSTREL_TYPE_VIRTUAL_DEVICE_PROVIDER (ostrel_virtual_device_provider_get_type())
G_DECLARE_FINAL_TYPE(OstrelVirtualDeviceProvider, ostrel_virtual_device_provider, OSTREL,
                     VIRTUAL_DEVICE_PROVIDER, GstDeviceProvider)

#define OSTREL_TYPE_VIRTUAL_DEVICE (ostrel_virtual_device_get_type())
G_DECLARE_FINAL_TYPE(OstrelVirtualDevice, ostrel_virtual_device, OSTREL, VIRTUAL_DEVICE, GstDevice)

G_END_DECLS

#include "gsfdevice.h"

#include "common/fileerror.h"

#include <cerrno>
#include <gsf/gsf-output-impl.h>
#include <gsf/gsf-output.h>

namespace {

struct DeviceOutput
{
    GsfOutput base;
    QIODevice *device;
    QString *error;
};

struct DeviceOutputClass
{
    GsfOutputClass base;
};

GObjectClass *g_parentClass = nullptr;

DeviceOutput *self(GsfOutput *output)
{
    return reinterpret_cast<DeviceOutput *>(output);
}

gboolean deviceClose(GsfOutput *)
{
    return TRUE;
}

// libgsf keeps the position itself (cur_offset); writes go there.
gboolean deviceSeek(GsfOutput *, gsf_off_t, GSeekType)
{
    return TRUE;
}

gboolean deviceWrite(GsfOutput *output, size_t size, const guint8 *data)
{
    DeviceOutput *out = self(output);
    // After a failed write the rest is dropped but taken as written: libgsf's closing steps pad
    // the file in loops that wait for the position to move, and would spin for ever on a full
    // disk. The first failure was reported and kept; the save fails on it.
    if (!out->error->isEmpty())
        return TRUE;
    QIODevice *device = out->device;
    errno = 0;
    if (device->pos() != output->cur_offset && !device->seek(output->cur_offset)) {
        *out->error = WriteFailureReason(*device, errno);
        return FALSE;
    }
    errno = 0;
    if (device->write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
        *out->error = WriteFailureReason(*device, errno);
        return FALSE;
    }
    return TRUE;
}

void deviceFinalize(GObject *object)
{
    delete self(reinterpret_cast<GsfOutput *>(object))->error;
    g_parentClass->finalize(object);
}

void deviceInit(GTypeInstance *instance, gpointer)
{
    DeviceOutput *out = reinterpret_cast<DeviceOutput *>(instance);
    out->device = nullptr;
    out->error = new QString;
}

void deviceClassInit(gpointer klass, gpointer)
{
    g_parentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = deviceFinalize;
    GsfOutputClass *outputClass = GSF_OUTPUT_CLASS(klass);
    outputClass->Close = deviceClose;
    outputClass->Seek = deviceSeek;
    outputClass->Write = deviceWrite;
}

GType deviceOutputType()
{
    static const GType type =
        g_type_register_static_simple(GSF_OUTPUT_TYPE, "OrvanthDeviceOutput", sizeof(DeviceOutputClass),
                                      deviceClassInit, sizeof(DeviceOutput), deviceInit, GTypeFlags(0));
    return type;
}

} // namespace

GsfOutput *NewGsfDeviceOutput(QIODevice *device)
{
    auto *output = static_cast<GsfOutput *>(g_object_new(deviceOutputType(), nullptr));
    self(output)->device = device;
    return output;
}

QString GsfDeviceOutputError(GsfOutput *output)
{
    return *self(output)->error;
}

"""A home of a test's own: a new folder, and the environment that puts every folder
the gadget reads or writes (configuration, data, state, cache) inside it, in the
zone the tests' expectations are written in."""
import os, tempfile


def private_home(prefix, parent=None):
    work = tempfile.mkdtemp(prefix=prefix, dir=parent)
    env = dict(os.environ, TZ="Europe/Paris", HOME=work, XDG_CONFIG_HOME=work + "/config",
               XDG_DATA_HOME=work + "/data", XDG_STATE_HOME=work + "/state", XDG_CACHE_HOME=work + "/cache")
    return work, env

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ArchiveImport</name>
    <message numerus="yes">
        <source>Import %n tunnels from “%1”?</source>
        <translation>
            <numerusform>Import %n tunnel from “%1”?</numerusform>
            <numerusform>Import %n tunnels from “%1”?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ForwardDraft</name>
    <message numerus="yes">
        <source>Fix %n forwards to save.</source>
        <translation>
            <numerusform>Fix %n forward to save.</numerusform>
            <numerusform>Fix %n forwards to save.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>%n Tunnels Selected</source>
        <translation>
            <numerusform>%n Tunnel Selected</numerusform>
            <numerusform>%n Tunnels Selected</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QuitCheck</name>
    <message numerus="yes">
        <source>%n tunnels have unsaved changes.</source>
        <translation>
            <numerusform>%n tunnel has unsaved changes.</numerusform>
            <numerusform>%n tunnels have unsaved changes.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RelativeTime</name>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation>
            <numerusform>%n second ago</numerusform>
            <numerusform>%n seconds ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>%n minute ago</numerusform>
            <numerusform>%n minutes ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>%n hour ago</numerusform>
            <numerusform>%n hours ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>%n week ago</numerusform>
            <numerusform>%n weeks ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>%n month ago</numerusform>
            <numerusform>%n months ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>%n year ago</numerusform>
            <numerusform>%n years ago</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SSHConfigImport</name>
    <message numerus="yes">
        <source>%1 · %n forwards</source>
        <translation>
            <numerusform>%1 · %n forward</numerusform>
            <numerusform>%1 · %n forwards</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Tunnel</name>
    <message numerus="yes">
        <source>%n forwards</source>
        <translation>
            <numerusform>%n forward</numerusform>
            <numerusform>%n forwards</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TunnelActions</name>
    <message numerus="yes">
        <source>Delete %n tunnels permanently?</source>
        <translation>
            <numerusform>Delete %n tunnel permanently?</numerusform>
            <numerusform>Delete %n tunnels permanently?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TunnelDetail</name>
    <message numerus="yes">
        <source>Retrying in %n s</source>
        <translation>
            <numerusform>Retrying in %n s</numerusform>
            <numerusform>Retrying in %n s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TunnelState</name>
    <message numerus="yes">
        <source>Retrying (attempt %n)</source>
        <translation>
            <numerusform>Retrying (attempt %n)</numerusform>
            <numerusform>Retrying (attempt %n)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>burrowlight::TunnelDraft</name>
    <message numerus="yes">
        <source>SSH options: %n</source>
        <translation>
            <numerusform>SSH options: %n</numerusform>
            <numerusform>SSH options: %n</numerusform>
        </translation>
    </message>
</context>
</TS>

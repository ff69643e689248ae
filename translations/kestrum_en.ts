<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Kestrum</name>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>屏号</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Mac地址</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>确定要修改参数吗</source>
        <translation>Change the card&apos;s settings?</translation>
    </message>
    <message>
        <source>最近一次修改 %1，修改前 IP %2%3</source>
        <translation>Last changed %1, IP before the change %2%3</translation>
    </message>
    <message>
        <source>（未确认）</source>
        <translation> (not confirmed)</translation>
    </message>
    <message>
        <source>修改记录无法写入：%1
修改照常进行，但不会被记录。本次运行中不再提示。</source>
        <translation>The change history cannot be written: %1
Changes go ahead but are not recorded. This is not shown again in this run.</translation>
    </message>
</context>
<context>
    <name>kestrum::BusyPopup</name>
    <message>
        <source>正在搜寻......</source>
        <translation>Searching......</translation>
    </message>
</context>
<context>
    <name>kestrum::TFrm_CardSearch</name>
    <message>
        <source>屏幕总数</source>
        <translation>Screens: </translation>
    </message>
    <message>
        <source>修改成功</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>修改失败</source>
        <translation>Change failed</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>无法导出到 %1：%2</source>
        <translation>Cannot export to %1: %2</translation>
    </message>
    <message>
        <source>复制此行</source>
        <translation>Copy row</translation>
    </message>
    <message>
        <source>复制IP</source>
        <translation>Copy IP</translation>
    </message>
    <message>
        <source>复制Mac地址</source>
        <translation>Copy MAC address</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>打开修改记录文件夹</source>
        <translation>Open change history folder</translation>
    </message>
    <message>
        <source>网络参数</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>IP地址:</source>
        <translation>IP address:</translation>
    </message>
    <message>
        <source>子网掩码:</source>
        <translation>Mask:</translation>
    </message>
    <message>
        <source>网关:</source>
        <translation>Gateway:</translation>
    </message>
    <message>
        <source>Mac:</source>
        <translation>MAC:</translation>
    </message>
    <message>
        <source>服务器IP:</source>
        <translation>Server IP:</translation>
    </message>
    <message>
        <source>服务器端口:</source>
        <translation>Server port:</translation>
    </message>
    <message>
        <source>心跳:</source>
        <translation>Heartbeat:</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>驱动属性</source>
        <translation>Driver</translation>
    </message>
    <message>
        <source>走线:</source>
        <translation>Scan:</translation>
    </message>
    <message>
        <source>行序:</source>
        <translation>Rows:</translation>
    </message>
    <message>
        <source>红绿:</source>
        <translation>Red/green:</translation>
    </message>
    <message>
        <source>屏幕属性</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>系列:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>版本号:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>屏号:</source>
        <translation>Screen:</translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>宽度:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高度:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>服务器IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>%1 第%2段</source>
        <translation>%1, octet %2 of 4</translation>
    </message>
    <message>
        <source>Mac地址</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>服务器端口</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>控制卡列表</source>
        <translation>Control cards</translation>
    </message>
</context>
</TS>
